// A LIST reply of any bytes, Unix and DOS lines mixed, read on a fixed day
// and at a time of the clock its first bytes give, between the years 0 and
// 9999.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzzed_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr std::int64_t kYearZero = -62167219200, kYearTenThousand = 253402300800;
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, std::min(size, sizeof bits));
    for (const std::int64_t now : {std::int64_t{1796749200},  // 2026-12-08 17:00
                                   kYearZero + static_cast<std::int64_t>(bits % (kYearTenThousand - kYearZero))})
        fuzzing::CheckListing(text, [now](std::string_view part) { return transfer::ParseList(part, now); });
    return 0;
}
