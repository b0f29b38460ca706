#pragma once

#include <string>
#include <string_view>

// Windows-1252 is the one 8-bit character set of the program's texts.
namespace core {

// The Unicode code point of a Windows-1252 byte. The five bytes the code page
// leaves unassigned map to the C1 control of the same value.
char32_t AnsiToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when the code page lacks it.
int UnicodeToAnsi(char32_t codePoint);

// The code point's UTF-8 bytes at the end of `out`.
void AppendUtf8(std::string& out, char32_t codePoint);

// Windows-1252 bytes to UTF-8, for names handed to the file system.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace core
