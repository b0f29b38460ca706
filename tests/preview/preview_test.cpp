// "Vorschau": the page the wizard would write now, in the browser engine,
// following what the user types, with nothing written to disk.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "app/start_window.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "gui_test_support.h"
#include "ui/list_box.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"

namespace {

using testsupport::Click;
using testsupport::Find;
using testsupport::Retype;
using testsupport::ShowPage;

// Every file and folder under the path, hidden ones included.
QStringList Tree(const QString& path) {
    QStringList found;
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) found.append(it.next());
    return found;
}

// A picture 2 pixels wide.
void WritePicture(const QString& path) {
    QImage picture(2, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path, "PNG"));
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        start_.show();
        Click(start_.SpeedButton2);
        wizard_ = start_.Wizard();
    }

    void Type(const char* edit, const QString& text) { Retype(Find(wizard_, QString::fromLatin1(edit)), text); }
    void Press(const char* button) { Click(Find(wizard_, QString::fromLatin1(button))); }

    void OpenPreview() {
        ShowPage(wizard_, QStringLiteral("TabSheet7"));
        Click(wizard_->SpeedButton11);
        ASSERT_NE(start_.Preview().Window(), nullptr);
        view_ = Find<QWebEngineView>(start_.Preview().Window(), QStringLiteral("PreviewView"));
    }

    // Asks the page in the program's own world: the page's scripts do not
    // run in the preview.
    QVariant Js(const QString& script) {
        QVariant result;
        QEventLoop loop;
        view_->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
            result = value;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
    }

    // Asks the page until the script says true; false after 20 s.
    bool WaitFor(const QString& script) {
        for (int i = 0; i < 200; ++i) {
            if (Js(script).toBool()) return true;
            QTest::qWait(100);
        }
        return false;
    }

    testsupport::TWorkDir dir_;
    TForm1 start_;
    TForm3* wizard_ = nullptr;
    QWebEngineView* view_ = nullptr;
};

TEST_F(Preview, FollowsTypingWithoutTouchingTheDisk) {
    ShowPage(wizard_, QStringLiteral("TabSheet3"));
    for (const auto& [text, target] : {std::pair{"Start", "index.html"}, std::pair{"Über", "ueber.html"}}) {
        Type("Edit3", QString::fromUtf8(text));
        Type("Edit4", QString::fromUtf8(target));
        Press("SpeedButton2");
    }
    ui::ListSelect(wizard_->ListBox2, 0);
    OpenPreview();
    ASSERT_TRUE(WaitFor(QStringLiteral("document.title == 'Neue Seite'")));

    ShowPage(wizard_, QStringLiteral("TabSheet2"));
    Type("Edit2", QStringLiteral("Willkommen"));
    Type("Edit5", QStringLiteral("Über uns €→"));
    EXPECT_TRUE(WaitFor(QStringLiteral("document.querySelector('b > font').textContent == 'Über uns €→'")));
    EXPECT_EQ(Js(QStringLiteral("document.title")).toString(), QStringLiteral("Willkommen"));
    EXPECT_EQ(Js(QStringLiteral("[...document.links].map(a => a.textContent + ' ' + a.getAttribute('href')).join()"))
                  .toString(),
              QStringLiteral("Start index.html,Über ueber.html"));
    EXPECT_EQ(start_.Preview().Window()->windowTitle(), QStringLiteral("Vorschau – index.html"));
    EXPECT_EQ(ui::ListSelectedIndex(wizard_->ListBox2), 0);
    EXPECT_EQ(Tree(QString::fromStdString(dir_.path())), QStringList());
}

TEST_F(Preview, ShowsPicturesNamedRelativeToThePage) {
    // The page lands in "sub/", its pictures beside it, below it and one
    // folder up, as the written file would find them.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("sub/bilder")));
    WritePicture(QStringLiteral("sub/hintergrund.png"));
    WritePicture(QStringLiteral("sub/beside.png"));
    WritePicture(QStringLiteral("sub/bilder/below.png"));
    WritePicture(QStringLiteral("up.png"));
    Type("Edit1", QStringLiteral("hintergrund.png"));
    Type("Edit19", QStringLiteral("sub/seite"));
    ShowPage(wizard_, QStringLiteral("TabSheet5"));
    for (const char* name : {"beside.png", "bilder/below.png", "../up.png"}) {
        Type("Edit10", QString::fromLatin1(name));
        Press("SpeedButton3");
    }
    OpenPreview();

    EXPECT_TRUE(WaitFor(QStringLiteral("document.images.length == 4 && [...document.images].every(i => i.complete)")));
    EXPECT_EQ(Js(QStringLiteral("[...document.images].map(i => i.getAttribute('src') + ' ' + i.naturalWidth).join()"))
                  .toString(),
              QStringLiteral("bild.jpg 0,beside.png 2,bilder/below.png 2,../up.png 2"));
    // The body's background, loaded on its own by the picture it names.
    EXPECT_TRUE(
        WaitFor(QStringLiteral("(() => { const url = getComputedStyle(document.body).backgroundImage.slice(5, -2);"
                               " const image = new Image(); image.src = url; window.loaded = window.loaded || image;"
                               " return window.loaded.complete && window.loaded.naturalWidth == 2; })()")));
    EXPECT_EQ(start_.Preview().Window()->windowTitle(), QStringLiteral("Vorschau – sub/seite.html"));
}

TEST_F(Preview, WithoutTheEngineSaysWhatIsMissing) {
    start_.Preview().SetPluginFile(QString::fromStdString(dir_.path()) + QStringLiteral("/tavirel_preview.so"));
    ShowPage(wizard_, QStringLiteral("TabSheet7"));
    const testsupport::TMessageBoxSeen box = testsupport::WithMessageBox([&] { Click(wizard_->SpeedButton11); });
    EXPECT_EQ(box.text, QStringLiteral("Die Vorschau braucht Qt WebEngine (Paket libqt6webenginewidgets6)"));
    EXPECT_TRUE(box.errorIcon);
    EXPECT_EQ(start_.Preview().Window(), nullptr);
    // The wizard goes on working.
    Press("SpeedButton9");
    EXPECT_TRUE(QFile::exists(QStringLiteral("index.html")));
}

TEST_F(Preview, KeepsNothingUnderHome) {
    OpenPreview();
    ASSERT_TRUE(WaitFor(QStringLiteral("document.title == 'Neue Seite'")));
    Type("Edit2", QStringLiteral("Noch eine"));
    ASSERT_TRUE(WaitFor(QStringLiteral("document.title == 'Noch eine'")));
    wizard_->close();
    EXPECT_FALSE(start_.Preview().Window()->isVisible());
    EXPECT_EQ(Tree(QDir::homePath()), QStringList());
}

TEST_F(Preview, KeepsTheScrollPositionAndFollowsAnOpenedPage) {
    ShowPage(wizard_, QStringLiteral("TabSheet4"));
    for (int i = 0; i < 100; ++i) {
        Type("Edit12", QStringLiteral("Zeile %1<br>").arg(i));
        Press("Button1");
    }
    OpenPreview();
    ASSERT_TRUE(WaitFor(QStringLiteral("document.body != null && document.body.scrollHeight > 1500")));
    Js(QStringLiteral("window.scrollTo(0, 700)"));
    ASSERT_TRUE(WaitFor(QStringLiteral("window.scrollY == 700")));
    ShowPage(wizard_, QStringLiteral("TabSheet2"));
    Type("Edit5", QStringLiteral("Weiter"));
    EXPECT_TRUE(WaitFor(QStringLiteral("document.querySelector('b > font').textContent == 'Weiter'")));
    EXPECT_TRUE(WaitFor(QStringLiteral("window.scrollY == 700")));

    core::TPageDescription page;
    page.HeadingText =
        "Ge\xF6"
        "ffnet";
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("alt")));
    core::SavePageFile(ui::ToPath(QStringLiteral("alt/Reise→Rom.html")), core::GeneratePage(page));
    start_.OpenPage(QStringLiteral("alt/Reise→Rom.html"));
    EXPECT_TRUE(WaitFor(QStringLiteral("document.querySelector('b > font').textContent == 'Geöffnet'")));
    EXPECT_EQ(start_.Preview().Window()->windowTitle(), QStringLiteral("Vorschau – Reise→Rom.html"));
}

}  // namespace
