#pragma once

// What both windows share in look: the light yellow background, the green
// of titles and big buttons, and fonts given in pixels under the family
// names the windows were designed with.

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace ui {

QColor WindowBackground();  // RGB(254, 230, 156)
QColor TitleGreen();        // RGB(0, 128, 0)

enum TFontStyle : unsigned { Plain = 0, Bold = 1, Italic = 2, Underline = 4 };

// Maps the design fonts onto fonts a Linux desktop has; runs once however
// often it is called.
void InstallFontSubstitutions();

// A font whose height is given in pixels, as the layout's sizes are.
QFont PixelFont(const QString& family, int pixels, unsigned style = Plain);
QFont DefaultFont();  // "MS Sans Serif", 11 pixels

void SetTextColor(QWidget* widget, const QColor& color);
// Gives a list or panel the window's background instead of the white of edits.
void SetBaseToBackground(QWidget* widget);

// A top-level window with a fixed client size, system menu, minimize and
// close box but no maximize box, first shown at the given screen position.
void SetUpFixedWindow(QWidget* window, const QString& caption, int left, int top, int width, int height);

}  // namespace ui
