// Whatever the user types survives the way into Windows-1252 bytes and back:
// decoding the bytes and resolving every "&#N;" gives the typed text, with CR
// and LF turned into spaces and every unpaired surrogate into U+FFFD. A text
// the code page can hold comes back byte for byte, without references.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ansi_text.h"
#include "ui/text_boundary.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Unit by unit: Qt's UCS-4 decoder would drop a leading U+FEFF as a byte order mark.
void AppendCodePoint(QString& out, char32_t codePoint) {
    if (QChar::requiresSurrogates(codePoint)) {
        out += QChar(QChar::highSurrogate(codePoint));
        out += QChar(QChar::lowSurrogate(codePoint));
    } else {
        out += QChar(static_cast<char16_t>(codePoint));
    }
}

// The text as it must arrive: one line, no unpaired surrogates.
QString Normalized(const QString& typed) {
    QString out;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const char16_t unit = typed[i].unicode();
        if (unit == u'\r' || unit == u'\n') {
            out += QChar(u' ');
        } else if (QChar::isHighSurrogate(unit) && i + 1 < typed.size() &&
                   QChar::isLowSurrogate(typed[i + 1].unicode())) {
            out += typed[i];
            out += typed[++i];
        } else if (QChar::isSurrogate(unit)) {
            AppendCodePoint(out, kReplacementCharacter);
        } else {
            out += typed[i];
        }
    }
    return out;
}

// Replaces each "&#N;" naming a Unicode scalar value by that character.
QString ResolveReferences(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] == u'#') {
            qsizetype end = i + 2;
            char32_t value = 0;
            while (end < text.size() && end - i - 2 < 8 && text[end].isDigit() && text[end].unicode() < 0x80) {
                value = value * 10 + static_cast<char32_t>(text[end].unicode() - u'0');
                ++end;
            }
            const bool scalar = value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
            if (end > i + 2 && end < text.size() && text[end] == u';' && scalar) {
                AppendCodePoint(out, value);
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// For a text without unpaired surrogates.
bool CodePageHoldsAll(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i].unicode();
        if (QChar::isHighSurrogate(codePoint)) {
            ++i;
            codePoint = QChar::surrogateToUcs4(text[i - 1].unicode(), text[i].unicode());
        }
        if (core::UnicodeToAnsi(codePoint) < 0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    // Taken unit by unit, so that unpaired surrogates stay in the text.
    const QString typed(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));

    const std::string bytes = ui::ToAnsi(typed);
    const QString normalized = Normalized(typed);
    const QString decoded = ui::FromAnsi(bytes);
    Check(ResolveReferences(decoded) == ResolveReferences(normalized));
    Check(bytes.find_first_of("\r\n") == std::string::npos);
    if (CodePageHoldsAll(normalized)) Check(decoded == normalized);
    return 0;
}
