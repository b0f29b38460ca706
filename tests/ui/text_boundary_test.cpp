#include "ui/text_boundary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct TToAnsiCase {
    QString text;
    std::string bytes;
};

TEST(TextBoundary, ToAnsiGivesWindows1252BytesOrCharacterReferences) {
    const TToAnsiCase cases[] = {
        {QStringLiteral("Home <b>&</b> 123"), "Home <b>&</b> 123"},
        {QStringLiteral("Über Größe"),
         "\xDC"
         "ber Gr\xF6\xDF"
         "e"},
        {QStringLiteral("5 €"), "5 \x80"},
        {QStringLiteral("„zitiert“ – …"), "\x84zitiert\x93 \x96 \x85"},
        {QStringLiteral("a → b"), "a &#8594; b"},
        {QString::fromUtf8("\xF0\x9F\x98\x80!"), "&#128512;!"},
        {QStringLiteral("eins\r\nzwei\rdrei\n"), "eins  zwei drei "},
        {QString(QChar(0)) + u'x', "\0x"s},
        {QString(QChar(0xD800)) + u'a', "&#65533;a"},
        {u'a' + QString(QChar(0xDC00)), "a&#65533;"},
        {QString(), ""},
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(ui::ToAnsi(text), bytes) << text.toStdString();
}

TEST(TextBoundary, EveryByteSurvivesTheRoundTripButLineBreaks) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string ansi(1, static_cast<char>(byte));
        const QString text = ui::FromAnsi(ansi);
        ASSERT_EQ(text.size(), 1) << byte;
        const bool lineBreak = byte == '\r' || byte == '\n';
        EXPECT_EQ(ui::ToAnsi(text), lineBreak ? " " : ansi) << byte;
    }
    EXPECT_EQ(ui::FromAnsi("\x80 gr\xFC\xDF"
                           "e\x85"),
              QStringLiteral("€ grüße…"));
}

TEST(TextBoundary, LongListsKeepEveryCharacter) {
    std::string ansi;
    for (int line = 0; line < 100000; ++line) ansi += "Zeile \xE4\x80 ";
    const QString text = ui::FromAnsi(ansi);
    EXPECT_EQ(text.size(), static_cast<qsizetype>(ansi.size()));
    EXPECT_EQ(ui::ToAnsi(text), ansi);
}

}  // namespace
