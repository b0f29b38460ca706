#pragma once

// Small pictures as a phone leaves them, with where they were taken, and
// what a test reads back out of them; written and read with libexiv2, as
// the publish itself reads them.

#include <string>
#include <vector>

namespace testsupport {

// PngExifChunk: EXIF in PNG's own chunk "eXIf" rather than in a text chunk.
enum class TPicture { Jpeg, Png, PngExifChunk };

// 16 × 12 pixels in colour, with a camera's name and a title but no place.
std::string PictureWithoutLocation(TPicture kind);
// The same pixels, and where they were taken: GPS in EXIF, the place in XMP
// (its GPS fields, the city, the place shown) and in IPTC.
std::string PictureWithLocation(TPicture kind);

// Every metadata field the library reads from the bytes, as "key=value"
// (the pointer to the EXIF folder without its value).
std::vector<std::string> MetadataFields(const std::string& bytes);
// Those of them that tell a place: GPS, city, country, location …
std::vector<std::string> LocationFields(const std::string& bytes);
// The bytes that make the pixels: a JPEG's segments less its APPn and
// comments, a PNG's chunks less its texts; empty for anything else.
std::string PixelData(const std::string& bytes);

}  // namespace testsupport
