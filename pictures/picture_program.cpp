// The picture process: the picture on descriptor 0, its web copy (or, with
// "vorschau", its preview) and what was done to it on descriptor 1
// (picture_report.cpp), nothing else. The
// program starts one per picture (picture_process.h); a picture that
// crashes or stalls it costs that picture only.

#include <unistd.h>

#include <charconv>
#include <cstring>
#include <string>

#include "core/system_calls.h"
#include "pictures/picture_sandbox.h"
#include "pictures/web_picture.h"

#if defined(__SANITIZE_ADDRESS__)
// The leak check at exit needs calls the filter refuses.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0:abort_on_error=1";
}
#endif

namespace {

// Larger input is no picture this program would send.
constexpr std::size_t kMostInput = 256 << 20;

bool ReadAll(std::string& bytes) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got =
            core::RetryInterrupted([&] { return pread(0, buffer, sizeof buffer, static_cast<off_t>(bytes.size())); });
        if (got < 0) return false;
        if (got == 0) return true;
        if (bytes.size() + static_cast<std::size_t>(got) > kMostInput) return false;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

int main(int argc, char** argv) {
    int longestSide = -1;
    const bool preview = argc == 3 && std::strcmp(argv[2], "vorschau") == 0;
    if ((argc != 2 && !preview) ||
        std::from_chars(argv[1], argv[1] + std::strlen(argv[1]), longestSide).ec != std::errc() || longestSide < 0)
        return 2;
    std::string original;
    if (!pictures::EnterSandbox() || !ReadAll(original)) return 3;
    const std::optional<pictures::TWebPicture> picture =
        preview ? pictures::PreviewForWeb(original, longestSide) : pictures::RebuildForWeb(original, longestSide);
    if (!picture) return 1;
    return core::WriteAll(1, pictures::ReportOf(*picture)) ? 0 : 3;
}
