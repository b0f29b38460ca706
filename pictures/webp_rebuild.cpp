#include "pictures/webp_rebuild.h"

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>

#include "pictures/kept_metadata.h"
#include "pictures/location_seen.h"
#include "pictures/picture_pixels.h"

namespace pictures {
namespace {

constexpr int kQuality = 82;

struct TFreeMux {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};
using TMux = std::unique_ptr<WebPMux, TFreeMux>;

struct TFreeDecoder {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

WebPData DataOf(std::string_view bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

std::string_view ViewOf(const WebPData& data) {
    return {reinterpret_cast<const char*>(data.bytes), data.size};
}

struct TWebpFile {
    TMux mux;
    TSize size;
    bool animated = false;
    bool lossless = false;
    TKept kept;
    bool hadLocation = false;
};

std::optional<TWebpFile> Open(std::string_view webp) {
    const WebPData data = DataOf(webp);
    TWebpFile file{TMux(WebPMuxCreate(&data, 0)), {}, false, false, {}, false};
    uint32_t flags = 0;
    if (!file.mux || WebPMuxGetFeatures(file.mux.get(), &flags) != WEBP_MUX_OK ||
        WebPMuxGetCanvasSize(file.mux.get(), &file.size.width, &file.size.height) != WEBP_MUX_OK)
        return std::nullopt;
    file.animated = (flags & ANIMATION_FLAG) != 0;
    WebPBitstreamFeatures features;
    file.lossless = WebPGetFeatures(data.bytes, data.size, &features) == VP8_STATUS_OK && features.format == 2;
    WebPData chunk;
    if (WebPMuxGetChunk(file.mux.get(), "ICCP", &chunk) == WEBP_MUX_OK) file.kept.iccProfile = ViewOf(chunk);
    if (WebPMuxGetChunk(file.mux.get(), "EXIF", &chunk) == WEBP_MUX_OK && ReadExif(ViewOf(chunk), file.kept))
        file.hadLocation = true;
    if (WebPMuxGetChunk(file.mux.get(), "XMP ", &chunk) == WEBP_MUX_OK && MentionsPlace(ViewOf(chunk)))
        file.hadLocation = true;
    return file;
}

// Every frame decoded, the first kept for scaling; nullopt when one fails.
std::optional<QImage> DecodeAll(std::string_view webp) {
    const WebPData data = DataOf(webp);
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return std::nullopt;
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const std::unique_ptr<WebPAnimDecoder, TFreeDecoder> decoder(WebPAnimDecoderNew(&data, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) return std::nullopt;
    QImage first;
    while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
        uint8_t* canvas = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp)) return std::nullopt;
        if (first.isNull())
            first = QImage(canvas, static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height),
                           static_cast<qsizetype>(info.canvas_width) * 4, QImage::Format_RGBA8888)
                        .copy();
    }
    if (first.isNull()) return std::nullopt;
    return first;
}

std::optional<std::string> Assembled(WebPMux* mux, const std::string& exif, const std::string& iccProfile) {
    const WebPData profile = DataOf(iccProfile);
    const WebPData block = DataOf(exif);
    if ((!iccProfile.empty() && WebPMuxSetChunk(mux, "ICCP", &profile, 1) != WEBP_MUX_OK) ||
        (!exif.empty() && WebPMuxSetChunk(mux, "EXIF", &block, 1) != WEBP_MUX_OK))
        return std::nullopt;
    WebPData out;
    WebPDataInit(&out);
    if (WebPMuxAssemble(mux, &out) != WEBP_MUX_OK) return std::nullopt;
    std::string bytes(ViewOf(out));
    WebPDataClear(&out);
    return bytes;
}

// A new file made of the original's frames and nothing else of it.
std::optional<std::string> CopyFrames(const TWebpFile& file, const std::string& exif) {
    const TMux copy(WebPMuxNew());
    int frames = 0;
    if (!copy || WebPMuxNumChunks(file.mux.get(), WEBP_CHUNK_ANMF, &frames) != WEBP_MUX_OK) return std::nullopt;
    if (file.animated) {
        WebPMuxAnimParams params;
        if (WebPMuxGetAnimationParams(file.mux.get(), &params) != WEBP_MUX_OK ||
            WebPMuxSetAnimationParams(copy.get(), &params) != WEBP_MUX_OK ||
            WebPMuxSetCanvasSize(copy.get(), file.size.width, file.size.height) != WEBP_MUX_OK)
            return std::nullopt;
    }
    for (int n = 1; n <= (file.animated ? frames : 1); ++n) {
        WebPMuxFrameInfo frame;
        if (WebPMuxGetFrame(file.mux.get(), static_cast<uint32_t>(n), &frame) != WEBP_MUX_OK) return std::nullopt;
        const WebPMuxError added =
            file.animated ? WebPMuxPushFrame(copy.get(), &frame, 1) : WebPMuxSetImage(copy.get(), &frame.bitstream, 1);
        WebPDataClear(&frame.bitstream);
        if (added != WEBP_MUX_OK) return std::nullopt;
    }
    return Assembled(copy.get(), exif, file.kept.iccProfile);
}

std::optional<std::string> Encode(const QImage& image, const TWebpFile& file) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888);
    uint8_t* encoded = nullptr;
    const std::size_t size = file.lossless
                                 ? WebPEncodeLosslessRGBA(pixels.constBits(), pixels.width(), pixels.height(),
                                                          static_cast<int>(pixels.bytesPerLine()), &encoded)
                                 : WebPEncodeRGBA(pixels.constBits(), pixels.width(), pixels.height(),
                                                  static_cast<int>(pixels.bytesPerLine()), kQuality, &encoded);
    if (size == 0) return std::nullopt;
    const WebPData data{encoded, size};
    const TMux mux(WebPMuxCreate(&data, 1));
    WebPFree(encoded);
    if (!mux) return std::nullopt;
    return Assembled(mux.get(), ExifBlock(file.kept, false, true), file.kept.iccProfile);
}

}  // namespace

std::optional<TWebPicture> RebuildWebp(std::string_view webp, int longestSide) {
    std::optional<TWebpFile> file = Open(webp);
    if (!file || static_cast<long long>(file->size.width) * file->size.height > kMostPixels) return std::nullopt;
    const std::optional<QImage> first = DecodeAll(webp);
    if (!first) return std::nullopt;
    TWebPicture picture{{},    file->size.width, file->size.height, file->size.width, file->size.height,
                        false, file->hadLocation};
    // An animation is never scaled: its frames stay as they were drawn.
    if (!file->animated && NeedsScaling(file->size, longestSide)) {
        const QImage scaled = ScaledUpright(*first, FittedSize(file->size, longestSide), file->kept.orientation);
        if (TookScaled(picture, Encode(scaled, *file), scaled.size(), webp.size())) return picture;
    }
    std::optional<std::string> copied = CopyFrames(*file, ExifBlock(file->kept, true, true));
    if (!copied) return std::nullopt;
    picture.bytes = std::move(*copied);
    return picture;
}

}  // namespace pictures
