// One start of a program up to its idle event loop, then it quits. With
// --mode=program it starts as the program does; with --mode=minimal it is
// the smallest Qt Widgets program with a window; --mode=start-window shows
// the start window without creating the wizard, to tell the two costs
// apart. startup_driver runs them as child processes and compares them.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <string_view>

#include "app/start_window.h"
#include "ui/app_icon.h"
#include "ui/window_look.h"
#include "wizard/wizard_window.h"

namespace {

// Quits once the window is on screen and the events of showing it are done.
void QuitWhenIdle(QWidget& window) {
    QTimer::singleShot(0, &window, [&window] {
        if (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
            QuitWhenIdle(window);
            return;
        }
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
}

int RunMinimal() {
    QWidget window;
    window.show();
    QuitWhenIdle(window);
    return QApplication::exec();
}

// The same steps as the program's entry.
int RunProgram() {
    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());
    TForm1 startWindow;
    TForm3 wizard;
    startWindow.SetWizard(&wizard);
    startWindow.show();
    QuitWhenIdle(startWindow);
    return QApplication::exec();
}

int RunStartWindowOnly() {
    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());
    TForm1 startWindow;
    startWindow.show();
    QuitWhenIdle(startWindow);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 2 ? argv[1] : "";
    int (*run)() = mode == "--mode=program"        ? RunProgram
                   : mode == "--mode=minimal"      ? RunMinimal
                   : mode == "--mode=start-window" ? RunStartWindowOnly
                                                   : nullptr;
    if (run == nullptr) return 2;
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    return run();
}
