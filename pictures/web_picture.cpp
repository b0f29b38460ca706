#include "pictures/web_picture.h"

#include "pictures/gif_rebuild.h"
#include "pictures/jpeg_rebuild.h"
#include "pictures/picture_kind.h"
#include "pictures/picture_pixels.h"
#include "pictures/png_rebuild.h"
#include "pictures/webp_rebuild.h"

namespace pictures {
namespace {

constexpr int kJpegQuality = 82;

// At its own size a JPEG keeps its coded pixels: copied, not decoded, so
// that it loses nothing. Scaled, it is decoded at the DCT's reduced size,
// scaled the rest of the way with Qt's smooth filter and encoded anew;
// unless that is no smaller than the original.
std::optional<TWebPicture> RebuildJpeg(std::string_view jpeg, int longestSide) {
    const std::optional<TJpegHeader> header = ReadJpegHeader(jpeg);
    if (!header || static_cast<long long>(header->width) * header->height > kMostJpegPixels) return std::nullopt;
    const TSize original{header->width, header->height};
    TWebPicture picture{{},    original.width,     original.height, original.width, original.height,
                        false, header->hadLocation};
    // Qt's filter wants RGB; a print shop's CMYK goes at its own size.
    if (NeedsScaling(original, longestSide) && !header->cmyk) {
        const TSize fitted = FittedSize(original, longestSide);
        const std::optional<QImage> decoded = DecodeJpegScaled(jpeg, fitted.width, fitted.height);
        if (!decoded) return std::nullopt;
        const QImage scaled = ScaledUpright(*decoded, fitted, header->kept.orientation);
        const std::optional<std::string> encoded = EncodeJpeg(scaled, kJpegQuality);
        if (!encoded) return std::nullopt;
        if (TookScaled(picture,
                       WithJpegMetadata(*encoded, ExifBlock(header->kept, false, false), header->kept.iccProfile),
                       scaled.size(), jpeg.size()))
            return picture;
    }
    std::optional<std::string> copied = CopyJpeg(jpeg, ExifBlock(header->kept, true, false), header->kept.iccProfile);
    if (!copied) return std::nullopt;
    picture.bytes = std::move(*copied);
    return picture;
}

}  // namespace

std::optional<TWebPicture> RebuildForWeb(std::string_view original, int longestSide) {
    switch (PictureKindOf(original.substr(0, kKindBytes))) {
        case TPictureKind::Jpeg:
            return RebuildJpeg(original, longestSide);
        case TPictureKind::Png:
            return RebuildPng(original, longestSide);
        case TPictureKind::Webp:
            return RebuildWebp(original, longestSide);
        case TPictureKind::Gif:
            return RebuildGif(original);
        default:
            return std::nullopt;
    }
}

}  // namespace pictures
