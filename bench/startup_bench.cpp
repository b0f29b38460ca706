// One start of a program, then it ends. --mode=minimal is the smallest Qt
// Widgets program with a window, --mode=label a window that is one line
// of text, and --mode=start-window the program's own start, all ending at
// their window's first frame; --mode=program starts
// as the program does and ends once the wizard is made and all is idle.
// startup_driver runs them as child processes and compares them.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <string_view>

#include "app/start_window.h"
#include "ui/app_icon.h"
#include "ui/qt_translation.h"
#include "ui/window_look.h"

namespace {

// Ends the process as soon as the window's first frame is painted, before
// anything queued behind that frame runs.
class TExitAfterFirstFrame : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(
                qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
        return false;
    }
};

int RunToFirstFrame(QWidget& window) {
    TExitAfterFirstFrame exitAfterFirstFrame;
    window.installEventFilter(&exitAfterFirstFrame);
    window.show();
    return QApplication::exec();
}

int RunMinimal() {
    QWidget window;
    return RunToFirstFrame(window);
}

// What any window that shows text pays before its first frame: starting
// the font system, which the empty window never needs.
int RunLabel() {
    QLabel window(QStringLiteral("HTML Tavirel"));
    return RunToFirstFrame(window);
}

// The same steps as the program's entry, up to the start window's first
// frame.
int RunStartWindow() {
    ui::InstallQtTranslation();
    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());
    TForm1 startWindow;
    return RunToFirstFrame(startWindow);
}

// The same steps as the program's entry, until the wizard exists and the
// event loop has nothing left to do.
void QuitWhenWizardIsMade(TForm1& startWindow) {
    QTimer::singleShot(0, &startWindow, [&startWindow] {
        if (startWindow.HasWizard())
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        else
            QuitWhenWizardIsMade(startWindow);
    });
}

int RunProgram() {
    ui::InstallQtTranslation();
    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());
    TForm1 startWindow;
    startWindow.show();
    QuitWhenWizardIsMade(startWindow);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 2 ? argv[1] : "";
    int (*run)() = mode == "--mode=program"        ? RunProgram
                   : mode == "--mode=minimal"      ? RunMinimal
                   : mode == "--mode=label"        ? RunLabel
                   : mode == "--mode=start-window" ? RunStartWindow
                                                   : nullptr;
    if (run == nullptr) return 2;
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    return run();
}
