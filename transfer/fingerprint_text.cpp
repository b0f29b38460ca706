#include "transfer/fingerprint_text.h"

namespace transfer {
namespace {

constexpr const char* kNoBreakSpace = "\u00A0";
constexpr const char* kWordJoiner = "\u2060";
constexpr int kBytesInGroup = 4;

// "AB:CD:…": hex pairs joined by ":".
bool IsHexPairs(const std::string& text) {
    if (text.size() % 3 != 2) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (i % 3 == 2 ? c != ':' : !hex) return false;
    }
    return true;
}

}  // namespace

std::string ShownFingerprint(const std::string& fingerprint) {
    const bool grouped = IsHexPairs(fingerprint);
    std::string shown;
    int colons = 0;
    for (const char c : fingerprint) {
        if (c == ':' && grouped && ++colons % kBytesInGroup == 0) {
            shown += kNoBreakSpace;
            continue;
        }
        shown += c;
        if (c == ':' || c == '/') shown += kWordJoiner;
    }
    return shown;
}

}  // namespace transfer
