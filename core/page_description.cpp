#include "core/page_description.h"

#include <cstddef>
#include <limits>

namespace core {
namespace {

int HexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// Hexadecimal digits up to the end, as a 32-bit pattern; 0 when a digit is
// missing or the value needs more than 32 bits (leading zeros are free).
std::int32_t ReadHexPattern(std::string_view digits) {
    if (digits.empty()) return 0;
    std::uint64_t value = 0;
    for (char ch : digits) {
        const int digit = HexDigitValue(ch);
        if (digit < 0) return 0;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > std::numeric_limits<std::uint32_t>::max()) return 0;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Optional sign and decimal digits up to the end; 0 outside int32.
std::int32_t ReadDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return 0;
    // One past INT32_MAX is still needed for INT32_MIN.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return 0;
        magnitude = magnitude * 10 + (ch - '0');
        if (magnitude > limit) return 0;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t ReadSpinValue(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return 0;
    text.remove_prefix(start);
    if (text.front() == '$' || text.front() == 'x' || text.front() == 'X') return ReadHexPattern(text.substr(1));
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return ReadHexPattern(text.substr(2));
    return ReadDecimal(text);
}

}  // namespace core
