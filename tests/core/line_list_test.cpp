#include "core/line_list.h"

#include <gtest/gtest.h>

#include <iterator>
#include <ranges>
#include <string>
#include <string_view>
#include <vector>

namespace {

using core::TLineList;
using namespace std::string_view_literals;

static_assert(std::ranges::random_access_range<TLineList>);

TEST(LineList, EveryLineComesBackAsAppendedAndTheBytesAreThePageFile) {
    struct Case {
        const char* label;
        std::vector<std::string_view> lines;
        std::string_view fileBytes;
    };
    const Case cases[] = {
        {"no lines", {}, ""},
        {"one empty line", {""}, "\r\n"},
        {"plain lines", {"<html>", "", "</html>"}, "<html>\r\n\r\n</html>\r\n"},
        {"any byte stays in its line", {"a\0b"sv, "x\ry", "\n", "\xFC\x80"}, "a\0b\r\nx\ry\r\n\n\r\n\xFC\x80\r\n"sv},
    };
    for (const Case& c : cases) {
        TLineList lines;
        for (const std::string_view line : c.lines) lines.push_back(line);
        EXPECT_EQ(lines.FileBytes(), c.fileBytes) << c.label;
        ASSERT_EQ(lines.size(), c.lines.size()) << c.label;
        EXPECT_EQ(lines.empty(), c.lines.empty()) << c.label;
        for (std::size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(lines[i], c.lines[i]) << c.label << " line " << i;
        EXPECT_EQ(std::vector<std::string_view>(lines.begin(), lines.end()), c.lines) << c.label;
        if (!c.lines.empty()) {
            EXPECT_EQ(lines.front(), c.lines.front()) << c.label;
            EXPECT_EQ(lines.back(), c.lines.back()) << c.label;
        }
    }
}

TEST(LineList, PartsMakeOneLine) {
    TLineList lines;
    const std::string target = "seite.html";
    lines.Append("<a href=\"", target, "\">", "Start"sv, "</a>");
    lines.Append();
    lines.Append("x");
    EXPECT_EQ(lines, (TLineList{"<a href=\"seite.html\">Start</a>", "", "x"}));
}

// Parts of every short length, one after another, must come out whole,
// neither cut nor overrun.
TEST(LineList, PartsOfEveryShortLengthArriveWhole) {
    std::string alphabet;
    for (int i = 0; i < 48; ++i) alphabet.push_back(static_cast<char>('A' + i % 26 + (i / 26) * 32));
    std::string expected;
    TLineList lines;
    for (std::size_t size = 0; size <= alphabet.size(); ++size) {
        const std::string part = alphabet.substr(alphabet.size() - size);
        lines.Append("<", part, ">");
        expected += "<" + part + ">\r\n";
    }
    EXPECT_EQ(lines.FileBytes(), expected);
    EXPECT_EQ(lines[17], "<" + alphabet.substr(alphabet.size() - 17) + ">");
}

TEST(LineList, EqualOnlyWithTheSameLines) {
    struct Case {
        TLineList a, b;
        bool equal;
    };
    const Case cases[] = {
        {{}, {}, true},    {{"a", "b"}, {"a", "b"}, true},  {{"a", "b"}, {"a", "c"}, false},
        {{""}, {}, false}, {{"a\r\nb"}, {"a", "b"}, false},  // the same bytes, split otherwise
    };
    for (const Case& c : cases) EXPECT_EQ(c.a == c.b, c.equal) << ::testing::PrintToString(c.a);
}

TEST(LineList, IteratorsWalkTheLinesBothWays) {
    const TLineList lines = {"null", "eins", "zwei", "drei"};
    EXPECT_EQ(lines.end() - lines.begin(), 4);
    EXPECT_EQ(*(lines.begin() + 2), "zwei");
    EXPECT_EQ(lines.begin()[3], "drei");
    EXPECT_EQ(*std::prev(lines.end()), "drei");
    EXPECT_EQ(TLineList(lines.begin() + 1, lines.end() - 1), (TLineList{"eins", "zwei"}));
    const auto reversed = lines | std::views::reverse;
    EXPECT_EQ(std::vector<std::string_view>(reversed.begin(), reversed.end()),
              (std::vector<std::string_view>{"drei", "zwei", "eins", "null"}));
}

TEST(LineList, ReservedRoomTakesTheLinesWithoutMovingThem) {
    TLineList lines;
    lines.Reserve(3, 12);
    const char* const buffer = lines.FileBytes().data();
    lines.Append("abcd", "ef");
    lines.push_back("");
    lines.Append("ghijkl");
    EXPECT_EQ(lines.FileBytes().data(), buffer);
    EXPECT_EQ(lines.FileBytes(), "abcdef\r\n\r\nghijkl\r\n");
}

}  // namespace
