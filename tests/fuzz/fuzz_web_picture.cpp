// Any bytes given as a picture are rebuilt or refused without harm, at its
// own size and scaled; and what comes out is a picture of the same kind that
// rebuilds again to the same size and tells no place.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pictures/picture_kind.h"
#include "pictures/web_picture.h"

// giflib's writer loses a frame's colour map on some broken frames. The
// picture process ends after each picture, so that costs nothing there;
// here it would end the run.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:GifMakeMapObject\n";
}

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckRebuilt(std::string_view original, int longestSide) {
    const std::optional<pictures::TWebPicture> picture = pictures::RebuildForWeb(original, longestSide);
    if (!picture) return;
    Check(pictures::PictureKindOf(picture->bytes.substr(0, pictures::kKindBytes)) ==
          pictures::PictureKindOf(original.substr(0, pictures::kKindBytes)));
    const std::optional<pictures::TWebPicture> again = pictures::RebuildForWeb(picture->bytes, pictures::kNoScaling);
    Check(again && again->width == picture->width && again->height == picture->height && !again->hadLocation);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckRebuilt(bytes, pictures::kNoScaling);
    CheckRebuilt(bytes, 16);
    return 0;
}
