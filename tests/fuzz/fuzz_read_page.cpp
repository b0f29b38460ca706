// The page reader takes any bytes without harm, and every page the generator
// writes, texts made of the template's own pieces included, is read back.
// That what it reads writes exactly those bytes again, ReadPage proves
// itself before it returns. The input is taken both as a page file and as a
// description.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/page_generator.h"
#include "core/page_reader.h"
#include "fuzzed_description.h"

namespace {

using core::TPageDescription;

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckSound(std::string_view bytes) {
    (void)core::ReadPage(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckSound(std::string_view(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider in(data, size);
    const TPageDescription page = fuzzing::DecodeDescription(in, false);
    const std::string bytes(core::GeneratePage(page).FileBytes());
    Check(core::ReadPage(bytes).has_value());

    // A written page with one byte changed, as an editor might leave it.
    if (!bytes.empty() && in.remaining_bytes() > 0) {
        std::string edited = bytes;
        const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, edited.size() - 1);
        if (in.ConsumeBool())
            edited.erase(at, 1);
        else
            edited[at] = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
        CheckSound(edited);
    }
    return 0;
}
