#include "pictures/location_seen.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pictures {

bool MentionsPlace(std::string_view block) {
    static constexpr std::array<std::string_view, 6> kWords = {"gps",      "latitude", "longitude",
                                                               "location", "city",     "country"};
    const auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    for (const std::string_view word : kWords)
        if (std::search(block.begin(), block.end(), word.begin(), word.end(), sameLetter) != block.end()) return true;
    // IPTC's record 2: city, sublocation, province, country code and name,
    // location code and name.
    using namespace std::string_view_literals;
    for (const std::string_view field : {"\x1c\x02\x5a"sv, "\x1c\x02\x5c"sv, "\x1c\x02\x5f"sv, "\x1c\x02\x64"sv,
                                         "\x1c\x02\x65"sv, "\x1c\x02\x1a"sv, "\x1c\x02\x1b"sv})
        if (block.find(field) != std::string_view::npos) return true;
    return false;
}

}  // namespace pictures
