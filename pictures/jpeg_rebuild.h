#pragma once

// JPEG through libjpeg: its header and metadata, the picture copied without
// decoding it (no quality lost), decoded at a reduced size by the DCT's own
// scaling, and encoded. Any warning of the library (a truncated or corrupt
// file) fails the picture: what goes up must be whole.

#include <QImage>
#include <optional>
#include <string>
#include <string_view>

#include "pictures/kept_metadata.h"

namespace pictures {

struct TJpegHeader {
    int width = 0, height = 0;
    TKept kept;
    bool hadLocation = false;
    bool cmyk = false;
};

std::optional<TJpegHeader> ReadJpegHeader(std::string_view jpeg);

// The same picture, its coefficients copied, with only `exif` and
// `iccProfile` as metadata.
std::optional<std::string> CopyJpeg(std::string_view jpeg, const std::string& exif, const std::string& iccProfile);

// The pixels at the smallest of libjpeg's scales that still covers
// width × height.
std::optional<QImage> DecodeJpegScaled(std::string_view jpeg, int width, int height);

std::optional<std::string> EncodeJpeg(const QImage& image, int quality);

}  // namespace pictures
