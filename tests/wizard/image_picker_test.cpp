// The "…" beside the image fields, driven through the real file dialog: what
// lands in the field and what is copied beside the page.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "gui_test_support.h"
#include "pictures/picture_words.h"
#include "support/files.h"
#include "support/web_pictures.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::TWorkDir;

// Runs the action and answers the message boxes it raises in turn, each with
// the button of that caption or with the Escape key; gives back each box as
// "<default button>: <text>".
QStringList AnswerBoxes(const std::function<void()>& action, const QStringList& answers) {
    QStringList seen;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        // A box more than expected is dropped, so that the test fails instead of waiting.
        const QString answer = seen.size() < answers.size() ? answers[seen.size()] : QString();
        seen << (box->defaultButton() != nullptr ? box->defaultButton()->text() : QString()) + QStringLiteral(": ") +
                    box->text();
        if (answer == QStringLiteral("Escape")) return QTest::keyClick(box, Qt::Key_Escape);
        for (QAbstractButton* button : box->buttons())
            if (button->text() == answer) return QTest::mouseClick(button, Qt::LeftButton);
        box->reject();
    });
    poll.start();
    action();
    return seen;
}

void MakeFile(const QString& name, const char* bytes) {
    QDir().mkpath(QFileInfo(name).path());
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    file.write(bytes);
}

const QString kOutside =
    QStringLiteral("&Ja: Das Bild liegt nicht im Ordner der Seite. In den Ordner der Seite kopieren?");
const QString kClash =
    QStringLiteral("&Nein: Im Ordner der Seite gibt es schon eine andere Datei pic.png. Als pic-2.png kopieren?");

TEST(ImagePicker, PutsTheChosenFileIntoTheFieldAsThePageNamesIt) {
    using TFiles = std::vector<std::pair<const char*, const char*>>;  // name, bytes; no bytes: no file
    const struct {
        const char* name;
        TFiles files;
        const char* field;  // before the click; null: as it was
        const char* typed;  // into the dialog, which opens in the page's folder "seite"; empty: Escape
        QStringList answers;
        QStringList questions;
        const char* result;
        TFiles after;
    } rows[] = {
        {"beside the page", {{"seite/foto.jpg", "F"}}, nullptr, "foto.jpg", {}, {}, "foto.jpg", {}},
        {"in a subfolder", {{"seite/bilder/bg.jpg", "B"}}, nullptr, "bilder/bg.jpg", {}, {}, "bilder/bg.jpg", {}},
        {"%, # escaped", {{"seite/a#b%c.jpg", "A"}}, nullptr, "a#b%c.jpg", {}, {}, "a%23b%25c.jpg", {}},
        {"starts at the field's file",
         {{"seite/bilder/alt.jpg", "A"}, {"seite/bilder/neu.jpg", "N"}},
         "bilder/alt.jpg",
         "neu.jpg",
         {},
         {},
         "bilder/neu.jpg",
         {}},
        {"dialog cancelled", {{"seite/foto.jpg", "F"}}, nullptr, "", {}, {}, "hintergrund.jpg", {}},
        {"outside, copied",
         {{"pic.png", "P"}},
         nullptr,
         "../pic.png",
         {"&Ja"},
         {kOutside},
         "pic.png",
         {{"seite/pic.png", "P"}}},
        {"outside, not copied",
         {{"pic.png", "P"}},
         nullptr,
         "../pic.png",
         {"&Nein"},
         {kOutside},
         "../pic.png",
         {{"seite/pic.png", nullptr}}},
        {"outside, Escape",
         {{"pic.png", "P"}},
         nullptr,
         "../pic.png",
         {"Escape"},
         {kOutside},
         "hintergrund.jpg",
         {{"seite/pic.png", nullptr}}},
        {"name clash",
         {{"pic.png", "P"}, {"seite/pic.png", "anders"}},
         nullptr,
         "../pic.png",
         {"&Ja", "&Ja"},
         {kOutside, kClash},
         "pic-2.png",
         {{"seite/pic.png", "anders"}, {"seite/pic-2.png", "P"}}},
        {"name clash, not copied",
         {{"pic.png", "P"}, {"seite/pic.png", "anders"}},
         nullptr,
         "../pic.png",
         {"&Ja", "&Nein"},
         {kOutside, kClash},
         "hintergrund.jpg",
         {{"seite/pic.png", "anders"}, {"seite/pic-2.png", nullptr}}},
        {"same file there",
         {{"pic.png", "P"}, {"seite/pic.png", "P"}},
         nullptr,
         "../pic.png",
         {"&Ja"},
         {kOutside},
         "pic.png",
         {{"seite/pic-2.png", nullptr}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TWorkDir dir;
        ASSERT_TRUE(QDir().mkdir(QStringLiteral("seite")));
        for (const auto& [name, bytes] : row.files) MakeFile(QString::fromUtf8(name), bytes);
        TWizardDriver wizard;
        wizard.Type("Edit19", "seite/index");
        if (row.field != nullptr) wizard.Type("Edit1", QString::fromUtf8(row.field));
        QStringList questions;
        EXPECT_TRUE(testsupport::WithFileDialog(
            [&] { questions = AnswerBoxes([&] { wizard.Click("SpeedButton12"); }, row.answers); },
            QString::fromUtf8(row.typed)));
        EXPECT_EQ(questions.join(QLatin1Char('\n')).toStdString(), row.questions.join(QLatin1Char('\n')).toStdString());
        EXPECT_EQ(wizard.Text("Edit1").toStdString(), row.result);
        for (const auto& [name, bytes] : row.after) {
            if (bytes == nullptr)
                EXPECT_FALSE(QFileInfo::exists(QString::fromUtf8(name))) << name;
            else
                EXPECT_EQ(testsupport::ReadFileBytes(name), bytes) << name;
        }
    }
}

// Qt's own parts speak German, whatever the user's locale, and the numbers
// still follow the user's locale.
TEST(ImagePicker, TheDialogSpeaksGerman) {
    TWorkDir dir;
    const QLocale before;
    TWizardDriver wizard;
    QStringList buttons;
    EXPECT_TRUE(testsupport::WithFileDialog([&] { wizard.Click("SpeedButton12"); }, QString(), &buttons));
    EXPECT_TRUE(buttons.contains(QStringLiteral("Öffnen"))) << buttons.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Abbrechen"))) << buttons.join(QLatin1Char(',')).toStdString();
    // A field's context menu as well.
    const std::unique_ptr<QMenu> menu(
        testsupport::Find<QLineEdit>(&wizard.window, "Edit5")->createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << action->text().remove(QLatin1Char('&')).section(u'\t', 0, 0);
    EXPECT_TRUE(entries.contains(QStringLiteral("Einfügen"))) << entries.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(QLocale(), before);
    EXPECT_EQ(QLocale(), QLocale::system());
}

// The file under the dialog's cursor shows beside the list as it goes onto
// the web, with its size; the dialog stays usable meanwhile.
TEST(ImagePicker, ThePictureUnderTheCursorShowsWithItsSize) {
    TWorkDir dir;
    testsupport::LocatedPicture(dir.path() + "/gross.jpg", 2000, 1000);
    testsupport::LocatedPicture(dir.path() + "/klein.jpg", 40, 30);
    const std::string whole = testsupport::ReadFileBytes("klein.jpg");
    ASSERT_TRUE(testsupport::WriteFileBytes("kaputt.jpg", whole.substr(0, whole.size() / 2)));
    MakeFile(QStringLiteral("zeichnung.svg"), "<svg/>");
    const auto size = [](const char* name) {
        return pictures::Megabytes(static_cast<std::uint64_t>(QFileInfo(QString::fromUtf8(name)).size()));
    };
    const struct {
        const char* file;
        std::string text;
        QSize shown;
    } rows[] = {
        {"gross.jpg", "2.000 × 1.000 Pixel, " + size("gross.jpg") + " – wird fürs Netz verkleinert", QSize(160, 80)},
        {"klein.jpg", "40 × 30 Pixel, " + size("klein.jpg"), QSize(40, 30)},
        {"kaputt.jpg", size("kaputt.jpg") + " – wird nicht übertragen (Ortsangaben lassen sich nicht sicher entfernen)",
         QSize()},
        {"zeichnung.svg", size("zeichnung.svg"), QSize()},
    };
    TWizardDriver wizard;
    std::vector<std::pair<std::string, QSize>> seen;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        auto* text = dialog->findChild<QLabel*>(QStringLiteral("PreviewText"));
        if (text == nullptr || seen.size() == std::size(rows)) return dialog->reject();
        const auto& row = rows[seen.size()];
        // Where the user's cursor would be: the list's current file, once the
        // list has all of them (it reads the folder on a thread of its own).
        const QString path = QDir::current().absoluteFilePath(QString::fromUtf8(row.file));
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto* files = dialog->findChild<QFileSystemModel*>();
        if (list == nullptr || files == nullptr) return dialog->reject();
        if (files->rowCount(files->index(QDir::currentPath())) < static_cast<int>(std::size(rows))) return;
        if (files->filePath(list->currentIndex()) != path) return list->setCurrentIndex(files->index(path));
        if (dialog->findChild<QWidget*>(QStringLiteral("PicturePreview"))->property("file").toString() != path ||
            text->text().isEmpty())
            return;
        const QPixmap picture = dialog->findChild<QLabel*>(QStringLiteral("PreviewPicture"))->pixmap();
        seen.emplace_back(text->text().toStdString(), picture.isNull() ? QSize() : picture.size());
    });
    poll.start();
    // A preview that never comes fails the test instead of holding it.
    QTimer::singleShot(60000, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) QTest::keyClick(dialog, Qt::Key_Escape);
    });
    wizard.Click("SpeedButton12");
    ASSERT_EQ(seen.size(), std::size(rows));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(rows[i].file);
        EXPECT_EQ(seen[i].first, rows[i].text);
        EXPECT_EQ(seen[i].second, rows[i].shown);
    }
}

TEST(ImagePicker, EachImageFieldHasItsOwn) {
    const struct {
        const char* picker;
        const char* field;
    } rows[] = {
        {"SpeedButton12", "Edit1"},  {"SpeedButton13", "Edit8"}, {"SpeedButton14", "Edit9"},
        {"SpeedButton15", "Edit6"},  {"SpeedButton16", "Edit7"}, {"SpeedButton17", "Edit13"},
        {"SpeedButton18", "Edit10"},
    };
    TWorkDir dir;
    MakeFile(QStringLiteral("foto.jpg"), "F");
    TWizardDriver wizard;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.picker);
        QWidget* picker = testsupport::Find(&wizard.window, QString::fromUtf8(row.picker));
        testsupport::ShowPageHolding(picker);
        EXPECT_EQ(picker->accessibleName(), QStringLiteral("Bild auswählen"));
        EXPECT_EQ(picker->toolTip(), QStringLiteral("Bild auswählen"));
        EXPECT_EQ(picker->size(), QSize(21, 21));
        // It covers nothing the page had.
        for (QWidget* other : picker->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != picker && other->isVisible()) {
                EXPECT_FALSE(other->geometry().intersects(picker->geometry())) << other->objectName().toStdString();
            }
        EXPECT_TRUE(testsupport::WithFileDialog([&] { wizard.Click(row.picker); }, QStringLiteral("foto.jpg")));
        EXPECT_EQ(wizard.Text(row.field), QStringLiteral("foto.jpg"));
    }
}

}  // namespace
}  // namespace wizardtest
