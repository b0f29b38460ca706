#include "ui/window_look.h"

#include <QFontDatabase>
#include <QPalette>
#include <QStringList>
#include <QWidget>

#include "ui/app_icon.h"

namespace ui {

QColor WindowBackground() {
    return {254, 230, 156};
}
QColor TitleGreen() {
    return {0, 128, 0};
}

void InstallFontSubstitutions() {
    static const bool installed = [] {
        const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
        QFont::insertSubstitutions(QStringLiteral("System"), sans);
        QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                                   {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
        return true;
    }();
    (void)installed;
}

namespace {

// The first of the design family and its substitutes that is installed, in
// the order Qt itself would try them. Qt reaches the substitutes of a family
// it lacks only after asking fontconfig for that family's fallbacks, a
// search over every installed font, about a third of a millisecond per font
// before the first frame; naming the installed family spares it.
QString InstalledFamily(const QString& family) {
    // Asked once: the windows ask for dozens of fonts, and the fonts
    // installed do not change while the program runs.
    static const QStringList installed = QFontDatabase::families();
    QStringList candidates{family};
    candidates += QFont::substitutes(family);
    for (const QString& candidate : candidates)
        if (installed.contains(candidate, Qt::CaseInsensitive)) return candidate;
    return family;
}

}  // namespace

QFont PixelFont(const QString& family, int pixels, unsigned style) {
    QFont font(InstalledFamily(family));
    font.setPixelSize(pixels);
    font.setBold((style & Bold) != 0);
    font.setItalic((style & Italic) != 0);
    font.setUnderline((style & Underline) != 0);
    return font;
}

QFont DefaultFont() {
    return PixelFont(QStringLiteral("MS Sans Serif"), 11);
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

void SetBaseToBackground(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, WindowBackground());
    widget->setPalette(palette);
}

void SetUpFixedWindow(QWidget* window, const QString& caption, int left, int top, int width, int height) {
    InstallFontSubstitutions();
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setWindowTitle(caption);
    window->setWindowIcon(AppIcon());
    window->setFixedSize(width, height);
    window->move(left, top);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, WindowBackground());
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFont(DefaultFont());
}

}  // namespace ui
