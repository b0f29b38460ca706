#include "pictures/gif_rebuild.h"

#include <gif_lib.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "pictures/location_seen.h"
#include "pictures/picture_pixels.h"

namespace pictures {
namespace {

struct TReading {
    std::string_view bytes;
    std::size_t at = 0;
};

int Read(GifFileType* gif, GifByteType* into, int length) {
    auto* reading = static_cast<TReading*>(gif->UserData);
    const std::size_t count = std::min(static_cast<std::size_t>(length), reading->bytes.size() - reading->at);
    std::memcpy(into, reading->bytes.data() + reading->at, count);
    reading->at += count;
    return static_cast<int>(count);
}

int Write(GifFileType* gif, const GifByteType* from, int length) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(from), static_cast<std::size_t>(length));
    return length;
}

struct TCloseReading {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

bool BlocksMentionPlace(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i < count; ++i)
        if (MentionsPlace(
                {reinterpret_cast<const char*>(blocks[i].Bytes), static_cast<std::size_t>(blocks[i].ByteCount)}))
            return true;
    return false;
}

// NETSCAPE2.0's loop count, with the block that follows it; -1 for none.
int LoopCount(const SavedImage& first) {
    for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = first.ExtensionBlocks[i];
        const ExtensionBlock& next = first.ExtensionBlocks[i + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.Function == CONTINUE_EXT_FUNC_CODE &&
            next.ByteCount >= 3 && next.Bytes[0] == 1)
            return next.Bytes[1] | next.Bytes[2] << 8;
    }
    return -1;
}

// Closing a file that was written frees its screen's colours but not its
// frames: those are freed here, after the file went.
void FreeFrames(SavedImage* frames, int count) {
    for (int i = 0; i < count; ++i) {
        GifFreeExtensions(&frames[i].ExtensionBlockCount, &frames[i].ExtensionBlocks);
        if (frames[i].ImageDesc.ColorMap != nullptr) GifFreeMapObject(frames[i].ImageDesc.ColorMap);
        std::free(frames[i].RasterBits);
    }
    std::free(frames);
}

ColorMapObject* CopyOf(const ColorMapObject* colours) {
    return colours == nullptr ? nullptr : GifMakeMapObject(colours->ColorCount, colours->Colors);
}

// The new file from the read one's screen, frames, timing and loop.
bool WriteAnew(GifFileType* in, GifFileType* out) {
    out->SWidth = in->SWidth;
    out->SHeight = in->SHeight;
    out->SColorResolution = in->SColorResolution;
    out->SBackGroundColor = in->SBackGroundColor;
    out->SColorMap = CopyOf(in->SColorMap);
    const int loop = LoopCount(in->SavedImages[0]);
    for (int i = 0; i < in->ImageCount; ++i) {
        const SavedImage& frame = in->SavedImages[i];
        // A frame beyond the screen is a broken file, and one giflib would
        // refuse to write half way.
        const GifImageDesc& place = frame.ImageDesc;
        if (place.Left < 0 || place.Top < 0 || place.Width < 1 || place.Height < 1 ||
            place.Left + place.Width > in->SWidth || place.Top + place.Height > in->SHeight)
            return false;
        SavedImage* copy = GifMakeSavedImage(out, nullptr);
        if (copy == nullptr) return false;
        copy->ImageDesc = frame.ImageDesc;
        // giflib hands over the rows in order, and writes them so.
        copy->ImageDesc.Interlace = false;
        copy->ImageDesc.ColorMap = CopyOf(frame.ImageDesc.ColorMap);
        const std::size_t pixels = static_cast<std::size_t>(frame.ImageDesc.Width) * frame.ImageDesc.Height;
        copy->RasterBits = static_cast<GifByteType*>(std::malloc(std::max<std::size_t>(pixels, 1)));
        if (copy->RasterBits == nullptr) return false;
        std::memcpy(copy->RasterBits, frame.RasterBits, pixels);
        if (i == 0 && loop >= 0) {
            GifByteType application[] = "NETSCAPE2.0";
            GifByteType count[] = {1, static_cast<GifByteType>(loop & 0xff), static_cast<GifByteType>(loop >> 8)};
            if (GifAddExtensionBlock(&copy->ExtensionBlockCount, &copy->ExtensionBlocks, APPLICATION_EXT_FUNC_CODE, 11,
                                     application) == GIF_ERROR ||
                GifAddExtensionBlock(&copy->ExtensionBlockCount, &copy->ExtensionBlocks, CONTINUE_EXT_FUNC_CODE, 3,
                                     count) == GIF_ERROR)
                return false;
        }
        GraphicsControlBlock timing;
        if (DGifSavedExtensionToGCB(in, i, &timing) == GIF_OK && EGifGCBToSavedExtension(&timing, out, i) == GIF_ERROR)
            return false;
    }
    return true;
}

}  // namespace

std::optional<TWebPicture> RebuildGif(std::string_view gif) {
    TReading reading{gif};
    int error = 0;
    const std::unique_ptr<GifFileType, TCloseReading> in(DGifOpen(&reading, Read, &error));
    if (!in || static_cast<long long>(in->SWidth) * in->SHeight > kMostPixels || DGifSlurp(in.get()) != GIF_OK ||
        in->ImageCount < 1)
        return std::nullopt;
    bool hadLocation = BlocksMentionPlace(in->ExtensionBlocks, in->ExtensionBlockCount);
    for (int i = 0; i < in->ImageCount; ++i)
        if (BlocksMentionPlace(in->SavedImages[i].ExtensionBlocks, in->SavedImages[i].ExtensionBlockCount))
            hadLocation = true;
    std::string written;
    GifFileType* out = EGifOpen(&written, Write, &error);
    if (out == nullptr) return std::nullopt;
    const bool made = WriteAnew(in.get(), out);
    SavedImage* const frames = out->SavedImages;
    const int count = out->ImageCount;
    // Writing the screen takes a copy of its colours, which closing frees.
    ColorMapObject* const screen = out->SColorMap;
    // Writes the file and closes it; one it refuses half way stays open.
    const bool spewed = made && EGifSpew(out) == GIF_OK;
    const bool copied = spewed || out->SColorMap != screen;
    if (!spewed) EGifCloseFile(out, nullptr);
    if (copied && screen != nullptr) GifFreeMapObject(screen);
    FreeFrames(frames, count);
    if (!spewed) return std::nullopt;
    return TWebPicture{written, in->SWidth, in->SHeight, in->SWidth, in->SHeight, false, hadLocation};
}

}  // namespace pictures
