#pragma once

#include <QString>

class QWidget;

namespace ui {

// Modal box: question icon, "&Ja" and "&Nein", the application's title as
// caption. "Nein" is the default and what Escape answers; true for "Ja".
bool AskYesNo(QWidget* parent, const QString& question);

}  // namespace ui
