// Any text a spin field may hold reads without undefined behaviour, and to
// the value an independent reading of the same rules gives: leading spaces,
// then a signed decimal (0 outside int32) or a hexadecimal pattern of at most
// 32 bits after "$", "x", "X", "0x" or "0X"; anything else is 0.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/page_description.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool AllOf(std::string_view text, std::string_view allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

constexpr std::string_view kDecimalDigits = "0123456789";
constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";

std::int32_t ExpectedValue(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return 0;
    text.remove_prefix(start);

    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (text.substr(0, prefix.size()) != prefix) continue;
        std::string_view digits = text.substr(prefix.size());
        if (!AllOf(digits, kHexDigits)) return 0;
        const std::size_t significant = digits.find_first_not_of('0');
        if (significant == std::string_view::npos) return 0;
        digits.remove_prefix(significant);
        std::uint32_t pattern = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pattern, 16);
        if (error != std::errc() || end != digits.data() + digits.size()) return 0;
        return static_cast<std::int32_t>(pattern);
    }

    // One optional sign, then digits only; from_chars takes a minus sign but no plus sign.
    const bool hasSign = text.front() == '+' || text.front() == '-';
    if (!AllOf(text.substr(hasSign ? 1 : 0), kDecimalDigits)) return 0;
    const std::string_view number = text.front() == '+' ? text.substr(1) : text;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) return 0;
    Check(error == std::errc() && end == number.data() + number.size());
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int32_t value = core::ReadSpinValue(text);
    Check(value == ExpectedValue(text));
    Check(core::ReadSpinValue("  " + std::string(text)) == value);
    return 0;
}
