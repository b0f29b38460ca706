#pragma once

// The short list of what a web picture keeps of its original's metadata,
// read from the original and written into the rebuilt picture; nothing else
// of the original's metadata is ever copied.

#include <string>
#include <string_view>

namespace pictures {

struct TKept {
    std::string iccProfile;
    // EXIF's 1 to 8; 1 is upright.
    int orientation = 1;
    std::string copyright, artist, description;
};

// Takes orientation, copyright, artist and description from an EXIF block
// (with or without its "Exif\0\0" start) where `kept` lacks them. True when
// the block holds GPS fields.
bool ReadExif(std::string_view exif, TKept& kept);

// A fresh EXIF block with the author's fields and, when `withOrientation`
// and not upright, the orientation; empty when there is nothing to write.
// Starts with "Exif\0\0" for JPEG; `tiffOnly` leaves that out (PNG, WebP).
std::string ExifBlock(const TKept& kept, bool withOrientation, bool tiffOnly);

// An encoder's output, which carries no metadata itself, with the kept
// profile and EXIF block put in where its kind keeps them.
std::string WithJpegMetadata(const std::string& jpeg, const std::string& exif, const std::string& iccProfile);
std::string WithPngMetadata(const std::string& png, const std::string& exif, const std::string& iccProfile);

}  // namespace pictures
