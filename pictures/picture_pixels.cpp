#include "pictures/picture_pixels.h"

#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "pictures/web_picture.h"

namespace pictures {

bool NeedsScaling(TSize size, int longestSide) {
    return longestSide != kNoScaling && std::max(size.width, size.height) > longestSide;
}

TSize FittedSize(TSize size, int longestSide) {
    const double factor = static_cast<double>(longestSide) / std::max(size.width, size.height);
    return {std::max(1, static_cast<int>(std::lround(size.width * factor))),
            std::max(1, static_cast<int>(std::lround(size.height * factor)))};
}

QImage ScaledUpright(const QImage& image, TSize size, int orientation) {
    const QImage scaled = image.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto turned = [&](int degrees) { return scaled.transformed(QTransform().rotate(degrees)); };
    switch (orientation) {
        case 2:
            return scaled.mirrored(true, false);
        case 3:
            return turned(180);
        case 4:
            return scaled.mirrored(false, true);
        case 5:
            return turned(90).mirrored(true, false);
        case 6:
            return turned(90);
        case 7:
            return turned(90).mirrored(false, true);
        case 8:
            return turned(270);
        default:
            return scaled;
    }
}

bool TookScaled(TWebPicture& picture, const std::optional<std::string>& encoded, QSize size,
                std::size_t originalBytes) {
    if (!encoded || encoded->size() >= originalBytes) return false;
    picture.bytes = *encoded;
    picture.width = size.width();
    picture.height = size.height();
    picture.scaled = true;
    return true;
}

QImage PixelsOnly(const QImage& image) {
    QImage pixels(image.size(), image.format());
    if (pixels.isNull()) return pixels;
    pixels.setColorTable(image.colorTable());
    const std::size_t line = static_cast<std::size_t>(std::min(image.bytesPerLine(), pixels.bytesPerLine()));
    for (int y = 0; y < image.height(); ++y) std::memcpy(pixels.scanLine(y), image.constScanLine(y), line);
    return pixels;
}

}  // namespace pictures
