// Draws the start window and every page of the wizard into PNG files, so
// that the documentation shows what the program really looks like. The
// wizard is filled with a small example page first, and the finish button is
// pressed inside a scratch directory so that the code view has content.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>
#include <iterator>

#include "app/start_window.h"
#include "ui/app_icon.h"
#include "ui/window_look.h"
#include "wizard/wizard_window.h"

namespace {

// One file name per tab, in tab order.
const char* const kPageFiles[] = {
    "wizard-1-allgemein.png", "wizard-2-ueberschrift.png", "wizard-3-links.png",
    "wizard-4-text.png",      "wizard-5-bilder.png",       "wizard-6-html-code.png",
};

bool Save(QWidget* window, const QDir& outDir, const QString& fileName) {
    QApplication::processEvents();
    const QString path = outDir.filePath(fileName);
    if (!window->grab().save(path, "PNG", 0)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void Enter(QLineEdit* edit, const QString& text) {
    edit->setText(text);
}

void FillExample(TForm3& wizard) {
    Enter(wizard.Edit2, QStringLiteral("Meine Homepage"));
    Enter(wizard.Edit5, QStringLiteral("Willkommen!"));

    Enter(wizard.Edit3, QStringLiteral("Startseite"));
    Enter(wizard.Edit4, QStringLiteral("index.html"));
    wizard.SpeedButton2->click();
    Enter(wizard.Edit3, QStringLiteral("Über mich"));
    Enter(wizard.Edit4, QStringLiteral("ueber.html"));
    wizard.SpeedButton2->click();

    Enter(wizard.Edit12, QStringLiteral("Schön, dass Sie vorbeischauen."));
    wizard.Button1->click();
    wizard.SpeedButton6->click();
    Enter(wizard.Edit13, QStringLiteral("foto.jpg"));
    wizard.m->click();
    wizard.BitBtn8->click();
    Enter(wizard.Edit12, QStringLiteral("Hier finden Sie meine Urlaubsbilder."));
    wizard.Button1->click();
    wizard.BitBtn1->click();

    Enter(wizard.Edit10, QStringLiteral("strand.jpg"));
    Enter(wizard.Edit11, QStringLiteral("Am Strand"));
    wizard.SpeedButton3->click();
    Enter(wizard.Edit10, QStringLiteral("berge.jpg"));
    Enter(wizard.Edit11, QStringLiteral("In den Bergen"));
    wizard.SpeedButton3->click();
}

// Finishes the page inside a scratch directory: the code view fills up and
// no file lands where the tool was started.
bool FinishInScratchDirectory(TForm3& wizard) {
    QTemporaryDir scratch;
    const QString home = QDir::currentPath();
    if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) {
        std::fprintf(stderr, "screenshots: no scratch directory\n");
        return false;
    }
    wizard.SpeedButton9->click();
    QDir::setCurrent(home);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argc > 0 ? argv[0] : "screenshots");
        return 2;
    }
    const QString outPath = QFile::decodeName(argv[1]);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());

    QDir outDir(outPath);
    if (!outDir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "screenshots: cannot create %s\n", qPrintable(outPath));
        return 1;
    }

    TForm1 startWindow;
    startWindow.show();
    bool ok = Save(&startWindow, outDir, QStringLiteral("start.png"));

    TForm3& wizard = *startWindow.Wizard();
    wizard.show();
    FillExample(wizard);
    ok = FinishInScratchDirectory(wizard) && ok;
    for (int page = 0; page < wizard.PageControl1->count() && page < static_cast<int>(std::size(kPageFiles)); ++page) {
        wizard.PageControl1->setCurrentIndex(page);
        ok = Save(&wizard, outDir, QString::fromLatin1(kPageFiles[page])) && ok;
    }
    return ok ? 0 : 1;
}
