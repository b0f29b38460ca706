// An MLSD reply of any bytes.

#include <cstddef>
#include <cstdint>

#include "fuzzed_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzzing::CheckListing(text, [](std::string_view part) { return transfer::ParseMlsd(part); });
    return 0;
}
