#include "pictures/picture_kind.h"

#include <array>

namespace pictures {
namespace {

bool StartsWith(std::string_view bytes, std::string_view start) {
    return bytes.substr(0, start.size()) == start;
}

// ISO base media files name their brand after "ftyp"; only the picture
// brands count, a video goes up as it always did.
bool IsPictureBrand(std::string_view start) {
    if (start.size() < 12 || start.substr(4, 4) != "ftyp") return false;
    const std::string_view brand = start.substr(8, 4);
    static constexpr std::array<std::string_view, 11> kBrands = {"heic", "heix", "hevc", "hevx", "heim", "heis",
                                                                 "mif1", "msf1", "avif", "avis", "jxl "};
    for (const std::string_view known : kBrands)
        if (brand == known) return true;
    return false;
}

}  // namespace

TPictureKind PictureKindOf(std::string_view start) {
    using namespace std::string_view_literals;
    if (StartsWith(start, "\xff\xd8\xff"sv)) return TPictureKind::Jpeg;
    if (StartsWith(start, "\x89PNG\r\n\x1a\n"sv)) return TPictureKind::Png;
    if (StartsWith(start, "GIF87a"sv) || StartsWith(start, "GIF89a"sv)) return TPictureKind::Gif;
    if (StartsWith(start, "RIFF"sv) && start.size() >= 12 && start.substr(8, 4) == "WEBP"sv) return TPictureKind::Webp;
    if (StartsWith(start, "II*\0"sv) || StartsWith(start, "MM\0*"sv) || StartsWith(start, "\xff\x0a"sv) ||
        StartsWith(start, "\0\0\0\x0cJXL \r\n\x87\n"sv) || StartsWith(start, "\0\0\0\x0cjP  \r\n\x87\n"sv) ||
        StartsWith(start, "\xff\x4f\xff\x51"sv) || StartsWith(start, "8BPS"sv) || IsPictureBrand(start))
        return TPictureKind::Other;
    return TPictureKind::None;
}

}  // namespace pictures
