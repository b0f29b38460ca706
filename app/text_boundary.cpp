#include "app/ui_services.h"

#include "core/ansi_text.h"

#include <array>
#include <charconv>

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
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                   static_cast<std::uint32_t>(codePoint)).ptr;
    out += "&#";
    out.append(digits.data(), end);
    out += ';';
}

}  // namespace

std::string ToAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
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
    QString text(static_cast<qsizetype>(ansi.size()), Qt::Uninitialized);
    QChar* chars = text.data();
    // Every Windows-1252 byte maps into the basic plane: one QChar each.
    for (char byte : ansi)
        *chars++ = QChar(static_cast<char16_t>(core::AnsiToUnicode(static_cast<unsigned char>(byte))));
    return text;
}

}  // namespace ui
