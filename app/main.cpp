// Program entry: the start window is the main window; it makes the wizard,
// hidden, right after its first frame, and both live until the end of the run.
// A page named on the command line opens as through "Öffnen".

#include <QApplication>
#include <QCommandLineParser>
#include <csignal>
#include <string_view>

#include "app/start_window.h"
#include "ui/app_icon.h"
#include "ui/error_display.h"
#include "ui/qt_translation.h"
#include "ui/window_look.h"

namespace {

void DescribeArguments(QCommandLineParser& arguments) {
    arguments.setApplicationDescription(QStringLiteral("Baut eine einfache Homepage mit einem Assistenten."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.addPositionalArgument(QStringLiteral("SEITE"),
                                    QStringLiteral("Eine Seite von HTML Tavirel, die im Assistenten geöffnet wird."),
                                    QStringLiteral("[SEITE]"));
}

// --help and --version must answer in a terminal without a display, where
// the window system cannot start.
bool AsksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "-?" || argument == "--help" || argument == "--help-all" ||
            argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForHelpOrVersion(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationVersion(QStringLiteral(TAVIREL_VERSION));
        QCommandLineParser arguments;
        DescribeArguments(arguments);
        arguments.process(app);  // prints and ends the program
    }
    // A page beyond the file size limit must fail its write (EFBIG), to be
    // reported and undone, not end the program with the page half written.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    ui::InstallQtTranslation();
    QApplication::setApplicationVersion(QStringLiteral(TAVIREL_VERSION));

    QCommandLineParser arguments;
    DescribeArguments(arguments);
    arguments.process(app);

    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());

    TForm1 startWindow;
    startWindow.show();
    const QStringList pages = arguments.positionalArguments();
    if (!pages.isEmpty()) ui::RunGuarded(&startWindow, [&] { startWindow.OpenPage(pages.front()); });
    QApplication::exec();
    // Both windows are destroyed on leaving; the run always ends with code 0.
    return 0;
}
