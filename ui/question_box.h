#pragma once

#include <QString>

class QWidget;

namespace ui {

// Modal box: question icon, "&Ja" and "&Nein", the application's title as
// caption. "Nein" is the default and what Escape answers; true for "Ja".
bool AskYesNo(QWidget* parent, const QString& question);

enum class TAnswer { Yes, No, Cancel };
// The same box for a question that may also be dropped: "Ja" is the
// default; Escape and closing the box answer Cancel.
TAnswer AskYesNoOrCancel(QWidget* parent, const QString& question);

}  // namespace ui
