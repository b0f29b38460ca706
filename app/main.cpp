// Program entry: the start window is the main window; it makes the wizard,
// hidden, right after its first frame, and both live until the end of the run.

#include <QApplication>

#include "app/start_window.h"
#include "ui/app_icon.h"
#include "ui/window_look.h"

int main(int argc, char** argv) {
    // The program takes no arguments; Qt sees none either.
    int programNameOnly = argc > 0 ? 1 : 0;
    QApplication app(programNameOnly, argv);
    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());

    TForm1 startWindow;
    startWindow.show();
    QApplication::exec();
    // Both windows are destroyed on leaving; the run always ends with code 0.
    return 0;
}
