// Nothing typed in the wizard is dropped without a question: "Öffnen" and
// "Ende" ask while entries are unsaved, and only then. Pages open and are
// written again in any folder, under any name the file system takes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/start_window.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "default_page.h"
#include "gui_test_support.h"
#include "support/files.h"
#include "support/rows.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"

namespace {

using testsupport::Click;
using testsupport::Find;
using testsupport::ReadFileBytes;
using testsupport::WithFileDialog;
using testsupport::WithMessageBox;

const QString kUnsaved = QStringLiteral("Die Eingaben im Assistenten sind noch nicht gespeichert. ");

class UnsavedEntries : public ::testing::Test {
public:
    void SetUp() override { Begin(); }

    // A fresh start window with its wizard shown.
    void Begin() {
        start_ = std::make_unique<TForm1>();
        start_->show();
        Click(start_->SpeedButton2);
    }
    TForm3* Wizard() { return start_->Wizard(); }
    void Type(const char* edit, const QString& text) {
        testsupport::Retype(Find(Wizard(), QString::fromUtf8(edit)), text);
    }
    // Shows the button's page and clicks it.
    void Press(const char* button) {
        QWidget* control = Find(Wizard(), QString::fromUtf8(button));
        testsupport::ShowPageHolding(control);
        Click(control);
    }
    // Finishes; a box it raises is answered with `answer`.
    void Finish(const QString& answer = QString()) {
        WithMessageBox([this] { Click(Wizard()->SpeedButton9); }, answer);
    }
    void TypeAndFinish(const char* edit, const QString& text, const QString& answer = QString()) {
        Type(edit, text);
        Finish(answer);
    }
    testsupport::TMessageBoxSeen PressEnde(const QString& answer) {
        return WithMessageBox([this] { Click(start_->SpeedButton3); }, answer);
    }
    // "Öffnen", the question answered with `answer`, then the dialog with
    // `path`; false when no file dialog came.
    bool PressOeffnen(const QString& answer, const QString& path) {
        return WithFileDialog([&] { WithMessageBox([this] { Click(start_->SpeedButton1); }, answer); }, path);
    }

    testsupport::TWorkDir dir_;
    std::unique_ptr<TForm1> start_;
};

void WriteBytes(const QString& path, const std::string& bytes) {
    ASSERT_TRUE(testsupport::WriteFileBytes(path.toStdString(), bytes));
}

// The text of the error box the action raises, closed with OK; boxes of
// another kind are left to the action.
QString ErrorShownBy(const std::function<void()>& action) {
    QString text;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || box->icon() != QMessageBox::Critical) return;
        text = box->text();
        poll.stop();
        box->accept();
    });
    poll.start();
    action();
    return text;
}

TEST_F(UnsavedEntries, EndeAsksExactlyWhenSomethingIsUnsaved) {
    const testsupport::TStepsRow<UnsavedEntries, bool> rows[] = {
        {"fresh start", [](UnsavedEntries&) {}, false},
        {"heading typed", [](UnsavedEntries& t) { t.Type("Edit5", QStringLiteral("Hallo")); }, true},
        {"text line typed, not added", [](UnsavedEntries& t) { t.Type("Edit12", QStringLiteral("halb")); }, true},
        {"check box", [](UnsavedEntries& t) { Click(Find(t.Wizard(), QStringLiteral("CSS"))); }, true},
        // A command that changes nothing marks nothing.
        {"\"Alles löschen\" on an empty list", [](UnsavedEntries& t) { t.Press("SpeedButton8"); }, false},
        {"\"Zeile löschen\" with nothing selected", [](UnsavedEntries& t) { t.Press("SpeedButton7"); }, false},
        {"\"Link löschen\" with nothing selected", [](UnsavedEntries& t) { t.Press("SpeedButton5"); }, false},
        {"\"Bild löschen\" with nothing selected", [](UnsavedEntries& t) { t.Press("SpeedButton4"); }, false},
        {"typed, then finished", [](UnsavedEntries& t) { t.TypeAndFinish("Edit5", QStringLiteral("Hallo")); }, false},
        // A finish leaves the last link in the link fields: its trace, not the user's.
        {"links added, finished twice",
         [](UnsavedEntries& t) {
             t.Type("Edit3", QStringLiteral("Start"));
             Click(t.Wizard()->SpeedButton2);
             t.Type("Edit3", QStringLiteral("Mehr"));
             t.Type("Edit4", QStringLiteral("mehr.html"));
             Click(t.Wizard()->SpeedButton2);
             t.Type("Edit3", QStringLiteral("noch einer"));
             t.Finish();
             t.Finish();
         },
         false},
        {"Nein to replacing a foreign file",
         [](UnsavedEntries& t) {
             WriteBytes(QStringLiteral("index.html"), "fremd\n");
             t.TypeAndFinish("Edit5", QStringLiteral("Hallo"), QStringLiteral("&Nein"));
         },
         true},
        // Someone else wrote the page's file meanwhile; the user typed nothing.
        {"opened, Nein to replacing, nothing typed",
         [](UnsavedEntries& t) {
             core::TPageDescription page;
             page.Links = {{"Start", "start.html"}};
             core::SavePageLines("seite.html", core::GeneratePage(page));
             t.start_->OpenPage(QStringLiteral("seite.html"));
             WriteBytes(QStringLiteral("seite.html"), "fremd\n");
             t.Finish(QStringLiteral("&Nein"));
         },
         false},
        {"write failed", [](UnsavedEntries& t) { t.TypeAndFinish("Edit19", QStringLiteral("fehlt/seite")); }, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(QStringLiteral("index.html"));
        Begin();
        row.steps(*this);
        const testsupport::TMessageBoxSeen seen = PressEnde(QStringLiteral("&Nein"));
        EXPECT_EQ(seen.shown, row.expected ? 1 : 0);
        EXPECT_EQ(start_->isVisible(), row.expected);
        if (!row.expected) continue;
        EXPECT_EQ(seen.text, kUnsaved + QStringLiteral("Trotzdem beenden?"));
        EXPECT_EQ(seen.caption, testsupport::ExpectedApplicationTitle());
        EXPECT_EQ(seen.defaultButton, QStringLiteral("&Nein"));
        EXPECT_EQ(seen.escapeButton, QStringLiteral("&Nein"));
        EXPECT_TRUE(Wizard()->isVisible());
    }
}

TEST_F(UnsavedEntries, EndeWithJaEnds) {
    Type("Edit5", QStringLiteral("Hallo"));
    EXPECT_TRUE(PressEnde(QStringLiteral("&Ja")).shown);
    EXPECT_FALSE(start_->isVisible());
    EXPECT_FALSE(Wizard()->isVisible());
}

TEST_F(UnsavedEntries, OeffnenAsksBeforeTheDialog) {
    WriteBytes(QStringLiteral("alt.html"), testpages::PageFileBytes(testpages::kDefaultPageLines));
    WriteBytes(QStringLiteral("fremd.html"), "<html>fremd</html>\r\n");
    Type("Edit5", QStringLiteral("Hallo"));
    TForm3* const typedInto = Wizard();

    EXPECT_FALSE(PressOeffnen(QStringLiteral("&Nein"), QStringLiteral("alt.html")));
    EXPECT_EQ(Wizard(), typedInto);
    EXPECT_EQ(Wizard()->Edit5->text(), QStringLiteral("Hallo"));

    // "Ja", then a file that is no page: refused, and the entries stay.
    EXPECT_EQ(ErrorShownBy([this] { PressOeffnen(QStringLiteral("&Ja"), QStringLiteral("fremd.html")); }),
              QStringLiteral("fremd.html ist keine Seite von HTML Tavirel oder wurde danach von Hand geändert."));
    EXPECT_EQ(Wizard(), typedInto);
    EXPECT_EQ(Wizard()->Edit5->text(), QStringLiteral("Hallo"));

    EXPECT_TRUE(PressOeffnen(QStringLiteral("&Ja"), QStringLiteral("alt.html")));
    EXPECT_EQ(Wizard()->Edit5->text(), QStringLiteral("Neue Seite"));
    // Right after opening nothing is unsaved.
    EXPECT_FALSE(PressEnde(QStringLiteral("&Nein")).shown);
    EXPECT_FALSE(start_->isVisible());
}

TEST_F(UnsavedEntries, APageDroppedOnTheStartWindowOpensAsThroughOeffnen) {
    WriteBytes(QStringLiteral("alt.html"), testpages::PageFileBytes(testpages::kDefaultPageLines));
    Type("Edit5", QStringLiteral("Hallo"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("alt.html")))});
    const auto drop = [&] {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(start_.get(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(start_.get(), &event);
    };
    EXPECT_TRUE(WithMessageBox(drop, QStringLiteral("&Nein")).shown);
    EXPECT_EQ(Wizard()->Edit5->text(), QStringLiteral("Hallo"));
    EXPECT_TRUE(WithMessageBox(drop, QStringLiteral("&Ja")).shown);
    EXPECT_EQ(Wizard()->Edit5->text(), QStringLiteral("Neue Seite"));
}

// Folders and names outside the page's code page reach the disk as typed.
TEST_F(UnsavedEntries, AnyPathTheFileSystemHolds) {
    const QString folder = QStringLiteral("Łódź Москва");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString page = folder + QStringLiteral("/Reise→Rom.html");
    WriteBytes(page, testpages::PageFileBytes(testpages::kDefaultPageLines));
    WithMessageBox([&] { start_->OpenPage(QDir::current().absoluteFilePath(page)); });
    EXPECT_EQ(QDir::current().dirName(), folder);
    EXPECT_EQ(Wizard()->Edit19->text(), QStringLiteral("Reise→Rom"));
    ASSERT_TRUE(QFile::remove(QStringLiteral("Reise→Rom.html")));
    Finish();
    EXPECT_EQ(ReadFileBytes("Reise→Rom.html"), testpages::PageFileBytes(testpages::kDefaultPageLines));

    // Messages name the file as typed.
    Type("Edit19", QStringLiteral("fehlt→/seite"));
    const testsupport::TMessageBoxSeen seen = WithMessageBox([this] { Click(Wizard()->SpeedButton9); });
    EXPECT_EQ(seen.text, QStringLiteral("Cannot create file fehlt→/seite.html."));
}

}  // namespace
