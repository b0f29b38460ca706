#pragma once

// What every kind's rebuild does to pixels, with Qt's QImage.

#include <QImage>
#include <optional>
#include <string>

#include "pictures/web_picture.h"

namespace pictures {

// Pictures whose pixels must all be in memory at once stop here: 64
// megapixels, 256 MiB in 32 bits. A JPEG is decoded already reduced.
constexpr long long kMostPixels = 64LL << 20;
constexpr long long kMostJpegPixels = 1LL << 30;

struct TSize {
    int width = 0, height = 0;
};

// Whether the longer side exceeds the limit (kNoScaling: never), and the
// size that fits it, in proportion.
bool NeedsScaling(TSize size, int longestSide);
TSize FittedSize(TSize size, int longestSide);

// Scaled with Qt's smooth filter, then turned upright by the EXIF
// orientation: the picture sent has no orientation left to apply.
QImage ScaledUpright(const QImage& image, TSize size, int orientation);

// The scaled copy, encoded, taken into `picture` when it is smaller than
// the original's `originalBytes`; true then. A picture that scaling does not
// make smaller goes at its own size.
bool TookScaled(TWebPicture& picture, const std::optional<std::string>& encoded, QSize size, std::size_t originalBytes);

// Only the pixels (and a palette's colours): the texts and colour space a
// reader attached stay behind, so that no writer can carry them over.
QImage PixelsOnly(const QImage& image);

}  // namespace pictures
