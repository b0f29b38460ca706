// The line under the code view that names what the written page misses
// beside it, after a real finish.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QStringList>
#include <QToolTip>
#include <filesystem>
#include <functional>

#include "gui_test_support.h"
#include "ui/elided_label.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::Find;
using testsupport::TWorkDir;

void MakeFiles(const QStringList& names) {
    for (const QString& name : names) {
        QDir().mkpath(QFileInfo(name).path());
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }
}

ui::TElidedLabel* MissingLine(TWizardDriver& wizard) {
    return Find<ui::TElidedLabel>(&wizard.window, QStringLiteral("Label21"));
}

TEST(MissingFiles, TheLineNamesWhatTheFolderLacks) {
    const QStringList defaults = {"hintergrund.jpg", "bild.jpg"};
    const struct {
        const char* name;
        std::function<void(TWizardDriver&)> steps;
        QStringList files;
        const char* line;
    } rows[] = {
        {"nothing missing", [](TWizardDriver&) {}, defaults, "Alle Bilder und Links gefunden"},
        {"nothing there", [](TWizardDriver&) {}, {}, "Fehlt: hintergrund.jpg, bild.jpg"},
        {"every image kind",
         Steps({"TabSheet2", "eck", "TabSheet3", "Dots", "lh", "Edit4=seite.html", "SpeedButton2", "TabSheet4",
                "Edit13=inline.png", "BitBtn8", "TabSheet5", "Edit10=bilder/spalte.gif", "SpeedButton3"}),
         {"bild.jpg", "dot.jpg", "bilder/spalte.gif"},
         "Fehlt: hintergrund.jpg, eckbild.jpg, lbg.jpg, seite.html, inline.png"},
        {"typed markup, external links ignored",
         Steps({"TabSheet3", "Edit4=https://example.org/bild.jpg", "SpeedButton2", "Edit4=mailto:a@b.de",
                "SpeedButton2", "TabSheet4",
                "Edit12=<IMG SRC='getippt.gif'> <a href=\"Über uns.html#mitte\">x</a> <a href=#oben>", "Button1"}),
         defaults, "Fehlt: getippt.gif, Über uns.html"},
        {"letter case",
         Steps({"Edit8=bilder/foto.jpg"}),
         {"hintergrund.jpg", "Bilder/Foto.JPG"},
         "Fehlt: Bilder/Foto.JPG statt bilder/foto.jpg"},
        {"page in a folder",
         Steps({"Edit19=sub/seite", "Edit1=../hintergrund.jpg"}),
         {"hintergrund.jpg", "sub/bild.jpg"},
         "Alle Bilder und Links gefunden"},
        {"not published",
         [](TWizardDriver& w) {
             w.Type("Edit19", "sub/seite");
             w.Type("Edit1", ".privat/notiz.jpg");
             std::filesystem::create_symlink("../hintergrund.jpg", "sub/bild.jpg");
             Steps({"TabSheet5", "Edit10=foto%00.jpg", "SpeedButton3", "Edit10=fehlt%E2%80%AE.jpg", "SpeedButton3"})(w);
         },
         {"hintergrund.jpg", "sub/.privat/notiz.jpg"},
         "Fehlt: fehlt%E2%80%AE.jpg; Wird nicht veröffentlicht: .privat/notiz.jpg (versteckte Datei), bild.jpg "
         "(Verknüpfung nach außerhalb des Ordners), foto%00.jpg (ungültiger Dateiname)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TWorkDir dir;
        MakeFiles(row.files);
        QDir().mkpath(QStringLiteral("sub"));
        TWizardDriver wizard;
        row.steps(wizard);
        wizard.Finish();
        EXPECT_EQ(MissingLine(wizard)->Line().toStdString(), row.line);
    }
}

TEST(MissingFiles, ALongLineIsShortenedAndWholeInItsTooltip) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet5");
    for (int i = 0; i < 40; ++i) {
        wizard.Type("Edit10", QStringLiteral("bild%1.jpg").arg(i));
        wizard.Click("SpeedButton3");
    }
    wizard.Finish();
    wizard.Page("TabSheet7");
    ui::TElidedLabel* line = MissingLine(wizard);
    // From x = 300 to 5 pixels before "Veröffentlichen".
    EXPECT_EQ(line->geometry(), QRect(300, 340, 305, 25));
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("Fehlt: hintergrund.jpg, bild.jpg, bild0.jpg")));
    EXPECT_TRUE(line->text().endsWith(QStringLiteral("…")));
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), line->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(line, &help);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("bild39.jpg")));
}

TEST(MissingFiles, AFinishThatWritesNothingClearsTheLine) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Finish();
    ASSERT_FALSE(MissingLine(wizard)->Line().isEmpty());
    wizard.Type("Edit19", "fehlt/index");
    const testsupport::TMessageBoxSeen error = testsupport::WithMessageBox([&] { wizard.Finish(); });
    EXPECT_TRUE(error.errorIcon);
    EXPECT_EQ(MissingLine(wizard)->Line(), QString());
    EXPECT_EQ(MissingLine(wizard)->text(), QString());
}

}  // namespace
}  // namespace wizardtest
