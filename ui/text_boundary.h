#pragma once

// The only place where QString meets the Windows-1252 bytes of the core.

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace ui {

// Characters Windows-1252 lacks become "&#N;" (N decimal); CR and LF become
// spaces so that one edit always gives one line.
std::string ToAnsi(const QString& text);
QString FromAnsi(std::string_view ansi);

// A file name is not page text: it reaches the file system as the user
// typed or picked it, any character included (UTF-8 on Linux).
std::filesystem::path ToPath(const QString& fileName);
// A message of the core that names a path in UTF-8.
QString FromUtf8(std::string_view utf8);

}  // namespace ui
