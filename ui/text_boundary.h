#pragma once

// The only place where QString meets the Windows-1252 bytes of the core.

#include <QString>
#include <string>
#include <string_view>

namespace ui {

// Characters Windows-1252 lacks become "&#N;" (N decimal); CR and LF become
// spaces so that one edit always gives one line.
std::string ToAnsi(const QString& text);
QString FromAnsi(std::string_view ansi);

}  // namespace ui
