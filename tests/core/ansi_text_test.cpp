#include "core/ansi_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UnicodeToAnsi, GivesTheCodePagesByteOrNone) {
    const struct {
        char32_t codePoint;
        int byte;
    } cases[] = {
        {U'A', 0x41},   {0x7F, 0x7F}, {0x20AC, 0x80}, {0x0081, 0x81}, {0x0178, 0x9F}, {0x00A0, 0xA0},
        {0x00FF, 0xFF}, {0x0080, -1}, {0x009F, -1},   {0x0100, -1},   {0x2192, -1},   {0x1F600, -1},
    };
    for (const auto& [codePoint, byte] : cases)
        EXPECT_EQ(core::UnicodeToAnsi(codePoint), byte) << std::hex << static_cast<unsigned>(codePoint);
}

// Names reach the file system as UTF-8; the edges of each length count.
TEST(AnsiToUtf8, GivesEachByteAsItsCharacter) {
    const struct {
        std::string ansi;
        std::string utf8;
    } cases[] = {
        {"a\x7F", "a\x7F"},
        {"\x80", "\xE2\x82\xAC"},
        {"\x81", "\xC2\x81"},
        {"\x9F", "\xC5\xB8"},
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        {std::string("\0", 1), std::string("\0", 1)},
        // Every character the code page has beyond Latin-1.
        {"\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F",
         "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"},
    };
    for (const auto& [ansi, utf8] : cases) EXPECT_EQ(core::AnsiToUtf8(ansi), utf8);
}

TEST(AppendUtf8, WritesEveryLength) {
    const struct {
        char32_t codePoint;
        std::string utf8;
    } cases[] = {
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& [codePoint, utf8] : cases) {
        std::string out = "x";
        core::AppendUtf8(out, codePoint);
        EXPECT_EQ(out, "x" + utf8) << std::hex << static_cast<unsigned>(codePoint);
    }
}

}  // namespace
