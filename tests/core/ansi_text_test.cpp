#include "core/ansi_text.h"

#include <gtest/gtest.h>

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

}  // namespace
