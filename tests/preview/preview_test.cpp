// "Vorschau": the page the wizard would write now, in the browser engine,
// following what the user types, with nothing written to disk.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "app/start_window.h"
#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "gui_test_support.h"
#include "support/http_server.h"
#include "ui/list_box.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"
#include "xdg_tree.h"

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

// A picture 2 pixels wide, of one colour.
void WritePicture(const QString& path, QColor colour = Qt::red) {
    QImage picture(2, 3, QImage::Format_RGB32);
    picture.fill(colour);
    ASSERT_TRUE(picture.save(path, "PNG"));
}

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(text), text.size());
}

// True once the condition holds, while the events run; false after 20 s.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 20000) {
    for (int waited = 0; waited < milliseconds; waited += 100) {
        if (condition()) return true;
        QTest::qWait(100);
    }
    return condition();
}

// What the desktop is asked to open while it lives. Its web browser is a
// fake "netzleser", and this program ("tavirel", offering itself for HTML
// files) is a fake too; both write their command lines to a file. What goes
// to Qt's own opener instead is kept as "qt URL".
class TOpenedRecord : public QObject {
    Q_OBJECT
public:
    TOpenedRecord() : log_(tree_.path() + QStringLiteral("/geoeffnet.txt")) {
        tree_.Write(QStringLiteral("config/mimeapps.list"),
                    "[Default Applications]\ntext/html=tavirel.desktop\n"
                    "x-scheme-handler/http=netzleser.desktop\nx-scheme-handler/https=netzleser.desktop\n");
        tree_.Write(QStringLiteral("data/applications/netzleser.desktop"),
                    "[Desktop Entry]\nType=Application\nName=Netzleser\nExec=netzleser %u\n");
        tree_.Write(QStringLiteral("data/applications/tavirel.desktop"),
                    "[Desktop Entry]\nType=Application\nName=HTML Tavirel\nExec=tavirel %f\nMimeType=text/html;\n");
        const QByteArray record = "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> '" + QFile::encodeName(log_) + "'\n";
        tree_.Write(QStringLiteral("bin/netzleser"), record, true);
        tree_.Write(QStringLiteral("bin/tavirel"), record, true);
        // The scratch tree hides the system's data folders, and with them the
        // file types the preview serves files with: those stay in sight.
        if (!QDir().mkpath(tree_.path() + QStringLiteral("/types")) ||
            !QFile::link(QStringLiteral("/usr/share/mime"), tree_.path() + QStringLiteral("/types/mime")))
            throw std::runtime_error("cannot show the system's file types");
        qputenv("XDG_DATA_DIRS", qgetenv("XDG_DATA_DIRS") + ':' + QFile::encodeName(tree_.path() + "/types"));
        for (const QString& scheme : kSchemes) QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~TOpenedRecord() override {
        for (const QString& scheme : kSchemes) QDesktopServices::unsetUrlHandler(scheme);
    }

    QStringList Opened() const {
        QFile file(log_);
        QStringList lines = file.open(QIODevice::ReadOnly)
                                ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                : QStringList();
        return lines + byQt_;
    }

public slots:
    void Open(const QUrl& url) { byQt_.append(QStringLiteral("qt ") + url.toString()); }

private:
    inline static const QStringList kSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                                QStringLiteral("file")};
    testsupport::TXdgTree tree_;
    QString log_;
    QStringList byQt_;
};

// Watches a named pipe: a reader that still has it open after a while, or
// waits to, is let go (the pipe opened for writing and closed again gives it
// its end) and told on by Stop().
class TPipeWatch {
public:
    explicit TPipeWatch(std::string path)
        : thread_([this, path = std::move(path)] {
              std::unique_lock lock(mutex_);
              if (stopped_.wait_for(lock, std::chrono::seconds(10), [this] { return stop_; })) return;
              const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (fd < 0) return;
              readerWaited_ = true;
              close(fd);
          }) {}
    ~TPipeWatch() { Stop(); }

    // True when a reader had the pipe open.
    bool Stop() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        stopped_.notify_all();
        if (thread_.joinable()) thread_.join();
        return readerWaited_;
    }

private:
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stop_ = false;
    bool readerWaited_ = false;
    std::thread thread_;
};

// While it lives, what the windows remember goes to a folder of its own,
// which no other test sees.
class TOwnSettings {
public:
    TOwnSettings() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path()); }
    ~TOwnSettings() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home_); }

private:
    const QString home_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QTemporaryDir dir_;
};

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
    bool WaitFor(const QString& script, int milliseconds = 20000) {
        return WaitUntil([&] { return Js(script).toBool(); }, milliseconds);
    }

    // The page the wizard would write as "sub/seite.html", with these text
    // lines, in the preview.
    void PreviewTextLines(const QStringList& lines) {
        Type("Edit19", QStringLiteral("sub/seite"));
        ShowPage(wizard_, QStringLiteral("TabSheet4"));
        Press("SpeedButton8");
        for (const QString& line : lines) {
            Type("Edit12", line);
            Press("Button1");
        }
        if (view_ == nullptr) OpenPreview();
    }

    // Clicks the middle of the element this script finds, as the user would.
    void ClickOn(const QString& element) {
        const QVariantList box = Js(QStringLiteral("(() => { const r = %1.getBoundingClientRect();"
                                                   " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                                        .arg(element))
                                     .toList();
        ASSERT_EQ(box.size(), 2);
        const QPoint middle(qRound(box[0].toDouble()), qRound(box[1].toDouble()));
        ASSERT_NE(view_->focusProxy(), nullptr);
        QTest::mouseClick(view_->focusProxy(), Qt::LeftButton, Qt::NoModifier, middle);
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
    // What the preview keeps comes from the engine's drawing, which may
    // follow the page later on a busy machine.
    ASSERT_TRUE(WaitUntil([&] { return view_->page()->scrollPosition().y() == 700; }));
    ShowPage(wizard_, QStringLiteral("TabSheet2"));
    Type("Edit5", QStringLiteral("Weiter"));
    EXPECT_TRUE(WaitFor(QStringLiteral("document.querySelector('b > font').textContent == 'Weiter'")));
    EXPECT_TRUE(WaitFor(QStringLiteral("window.scrollY == 700")));

    core::TPageDescription page;
    page.HeadingText =
        "Ge\xF6"
        "ffnet";
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("alt")));
    core::SavePage(core::TPageFolder("alt"), "Reise→Rom.html", core::GeneratePage(page), std::nullopt);
    start_.OpenPage(QStringLiteral("alt/Reise→Rom.html"));
    EXPECT_TRUE(WaitFor(QStringLiteral("document.querySelector('b > font').textContent == 'Geöffnet'")));
    EXPECT_EQ(start_.Preview().Window()->windowTitle(), QStringLiteral("Vorschau – Reise→Rom.html"));
}

TEST_F(Preview, PageScriptsReadNothingAndOpenNothing) {
    // A marker beside the page, one above it, one far away, and a picture
    // of a colour no other has.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("sub")));
    WriteText(QStringLiteral("sub/notiz.txt"), "GEHEIM-daneben");
    WriteText(QStringLiteral("geheim.txt"), "GEHEIM-darueber");
    QTemporaryDir elsewhere;
    const QString far = elsewhere.filePath(QStringLiteral("fern.txt"));
    WriteText(far, "GEHEIM-fern");
    WritePicture(QStringLiteral("sub/farbe.png"), QColor(18, 52, 86));
    const TOpenedRecord record;
    const QString away = QStringLiteral("http://127.0.0.1:9/weg");
    // Each script puts what it read into the page's title.
    const struct {
        const char* name;
        QString line;
    } rows[] = {
        {"frame beside",
         QStringLiteral("<iframe src=\"notiz.txt\" onload=\"document.title = this.contentDocument.body.innerText\">"
                        "</iframe>")},
        {"frame above", QStringLiteral("<iframe src=\"../geheim.txt\" onload=\"document.title = "
                                       "this.contentDocument.body.innerText\"></iframe>")},
        {"XMLHttpRequest of an absolute path",
         QStringLiteral("<script>const x = new XMLHttpRequest(); x.open('GET', '%1', false); x.send();"
                        " document.title = x.responseText</script>")
             .arg(far)},
        {"canvas of a picture",
         QStringLiteral("<img id=\"b\" src=\"farbe.png\" onload=\"const c = document.createElement('canvas');"
                        " const g = c.getContext('2d'); g.drawImage(this, 0, 0);"
                        " document.title = 'GEHEIM-' + g.getImageData(0, 0, 1, 1).data.join()\">")},
        {"click() on a link", QStringLiteral("<a id=\"a\" href=\"%1\">a</a><script>a.click()</script>").arg(away)},
        {"click() on a link with a target",
         QStringLiteral("<a id=\"a\" href=\"%1\" target=\"_blank\">a</a><script>a.click()</script>").arg(away)},
        {"window.open", QStringLiteral("<script>window.open('%1')</script>").arg(away)},
        {"location", QStringLiteral("<script>location.href = '%1'</script>").arg(away)},
        {"refresh without a script", QStringLiteral("<meta http-equiv=\"refresh\" content=\"0; url=%1\">").arg(away)},
    };
    int number = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const qsizetype before = record.Opened().size();
        const QString id = QStringLiteral("zeile%1").arg(++number);
        PreviewTextLines({QStringLiteral("<p id=\"%1\">").arg(id), row.line});
        const QString ours = QStringLiteral(
                                 "document.getElementById('%1') != null && location.protocol == "
                                 "'tavirel-preview:'")
                                 .arg(id);
        const bool shown = WaitFor(ours + QStringLiteral(" && document.readyState == 'complete'"));
        EXPECT_TRUE(shown) << "the preview did not keep the page";
        if (!shown) continue;
        // Time for what a script would do.
        EXPECT_FALSE(WaitFor(QStringLiteral("document.title.startsWith('GEHEIM')"), 2000))
            << Js(QStringLiteral("document.title")).toString().toStdString();
        EXPECT_TRUE(Js(ours).toBool()) << "the preview left the page";
        EXPECT_EQ(record.Opened().mid(before).join(u'|').toStdString(), "");
    }
    // The window tells why.
    const auto* note = Find<QLabel>(start_.Preview().Window(), QStringLiteral("ScriptNote"));
    EXPECT_EQ(note->text(), QStringLiteral("Skripte der Seite laufen nur im Browser."));
    EXPECT_TRUE(note->isVisible());
}

TEST_F(Preview, OpensLinksTheUserFollowsInTheWebBrowser) {
    const TOpenedRecord record;
    const QString page = QDir::current().filePath(QStringLiteral("sub/seite.html"));
    const QString beside =
        QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("sub/ziel.html"))).toString(QUrl::FullyEncoded);
    const struct {
        const char* name;
        QString link;
        QString opened;
    } rows[] = {
        {"a page beside", QStringLiteral("ziel.html"), QStringLiteral("netzleser ") + beside},
        {"a place in a page beside", QStringLiteral("ziel.html#teil"),
         QStringLiteral("netzleser ") + beside + QStringLiteral("#teil")},
        {"a web page in a new window", QStringLiteral("http://127.0.0.1:9/neu\" target=\"_blank"),
         QStringLiteral("netzleser http://127.0.0.1:9/neu")},
    };
    QStringList expected;
    int number = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString id = QStringLiteral("ziel%1").arg(++number);
        PreviewTextLines({QStringLiteral("<a id=\"%1\" href=\"%2\" style=\"display: block; padding: 20px\">Ziel</a>")
                              .arg(id, row.link)});
        ASSERT_TRUE(WaitFor(
            QStringLiteral("document.getElementById('%1') != null && document.readyState == 'complete'").arg(id)));
        ClickOn(QStringLiteral("document.getElementById('%1')").arg(id));
        expected.append(row.opened);
        EXPECT_TRUE(WaitUntil([&] { return record.Opened() == expected; })) << record.Opened().join(u'|').toStdString();
        EXPECT_TRUE(WaitFor(QStringLiteral("document.getElementById('%1') != null").arg(id)));
        EXPECT_EQ(view_->url().path(), page);
    }
}

TEST_F(Preview, ShowsOnlyRegularFilesAndWaitsForNone) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("sub")));
    WritePicture(QStringLiteral("sub/bild.png"));
    ASSERT_EQ(mkfifo("sub/rohr.jpg", 0644), 0);
    QTemporaryDir web;
    WritePicture(web.filePath(QStringLiteral("bild.png")));
    const testsupport::THttpServer server(QFile::encodeName(web.path()).toStdString());
    const struct {
        const char* name;
        QString source;
        int width;  // 0: not shown
    } rows[] = {
        {"a picture beside", QStringLiteral("bild.png"), 2},
        {"a named pipe", QStringLiteral("rohr.jpg"), 0},
        {"a device without end", QStringLiteral("/dev/zero"), 0},
        {"a picture from a web server", QString::fromStdString(server.Url("bild.png")), 2},
    };
    QStringList lines;
    QStringList expected;
    for (const auto& row : rows) {
        lines.append(QStringLiteral("<img class=\"zeile\" src=\"%1\">").arg(row.source));
        expected.append(QStringLiteral("%1 %2").arg(row.source).arg(row.width));
    }
    TPipeWatch pipe(QDir::current().filePath(QStringLiteral("sub/rohr.jpg")).toStdString());
    PreviewTextLines(lines);
    const QString pictures = QStringLiteral("[...document.querySelectorAll('img.zeile')]");
    EXPECT_TRUE(WaitFor(pictures + QStringLiteral(".length == %1 && ").arg(std::size(rows)) + pictures +
                        QStringLiteral(".every(i => i.complete)")));
    EXPECT_FALSE(pipe.Stop()) << "the preview waited for the pipe";
    EXPECT_EQ(Js(pictures + QStringLiteral(".map(i => i.getAttribute('src') + ' ' + i.naturalWidth).join('|')"))
                  .toString()
                  .toStdString(),
              expected.join(u'|').toStdString());
}

TEST_F(Preview, ShowsThePageAsAPhoneWould) {
    const TOwnSettings settings;
    const struct {
        const char* name;
        const char* button;
        bool viewport;    // the page declares one
        int layoutWidth;  // CSS pixels; 0: the window's width
        bool hint;
    } rows[] = {
        {"screen", "ScreenButton", false, 0, false},
        {"phone, a page with a viewport", "PhoneButton", true, 360, false},
        {"screen again, a page with a viewport", "ScreenButton", true, 0, false},
        {"phone, a page without one", "PhoneButton", false, 980, true},
    };
    int number = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString id = QStringLiteral("handy%1").arg(++number);
        QStringList lines = {QStringLiteral("<p id=\"%1\">").arg(id)};
        if (row.viewport)
            lines.append(QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"));
        PreviewTextLines(lines);
        QWidget* window = start_.Preview().Window();
        Click(Find(window, QString::fromLatin1(row.button)));
        const bool phone = row.layoutWidth != 0;
        EXPECT_TRUE(WaitUntil([&] { return view_->width() == (phone ? 360 : window->width()); }));
        const int layoutWidth = phone ? row.layoutWidth : view_->width();
        EXPECT_TRUE(WaitFor(QStringLiteral("document.getElementById('%1') != null && window.innerWidth == %2")
                                .arg(id)
                                .arg(layoutWidth)))
            << Js(QStringLiteral("window.innerWidth")).toInt();
        const auto* hint = Find<QLabel>(window, QStringLiteral("PhoneHint"));
        EXPECT_EQ(hint->isVisible(), row.hint);
        EXPECT_EQ(hint->text(), QStringLiteral("Auf Handys sehr klein – „Für Handys“ einschalten"));
    }

    // A change draws the page again as the phone shows it, where the user
    // left it: to a pixel of the view (2.7 of the page's), which the engine
    // tells the position in.
    PreviewTextLines({QStringLiteral("<p id=\"lang\" style=\"height: 5000px\">")});
    // Scrolled until it stays: the page may still be drawn again for the
    // last line.
    ASSERT_TRUE(
        WaitFor(QStringLiteral("document.getElementById('lang') != null && window.innerWidth == 980 &&"
                               " document.readyState == 'complete' && (window.scrollTo(0, 700),"
                               " Math.abs(window.scrollY - 700) < 4)")));
    ASSERT_TRUE(
        WaitUntil([&] { return std::abs(view_->page()->scrollPosition().y() / view_->zoomFactor() - 700) < 4; }));
    const QSignalSpy started(view_->page(), &QWebEnginePage::loadStarted);
    const QSignalSpy finished(view_->page(), &QWebEnginePage::loadFinished);
    ShowPage(wizard_, QStringLiteral("TabSheet2"));
    Type("Edit5", QStringLiteral("Weiter"));
    // The engine keeps the place of a page loaded again on its own, in the
    // page's pixels; the preview puts it back once the load has finished.
    EXPECT_TRUE(WaitUntil([&] {
        return !finished.isEmpty() && finished.size() == started.size() &&
               Js(QStringLiteral("document.querySelector('b > font').textContent == 'Weiter'")).toBool();
    }));
    EXPECT_EQ(Js(QStringLiteral("window.innerWidth")).toInt(), 980);
    EXPECT_NEAR(Js(QStringLiteral("window.scrollY")).toDouble(), 700, 4);

    // The program started anew shows its first preview as chosen last.
    TForm1 again;
    again.show();
    Click(again.SpeedButton2);
    ShowPage(again.Wizard(), QStringLiteral("TabSheet7"));
    Click(again.Wizard()->SpeedButton11);
    ASSERT_NE(again.Preview().Window(), nullptr);
    EXPECT_TRUE(Find<QAbstractButton>(again.Preview().Window(), QStringLiteral("PhoneButton"))->isChecked());
    view_ = Find<QWebEngineView>(again.Preview().Window(), QStringLiteral("PreviewView"));
    EXPECT_TRUE(WaitUntil([&] { return view_->width() == 360; }));
    EXPECT_TRUE(WaitFor(QStringLiteral("document.title == 'Neue Seite' && window.innerWidth == 980")));
}

}  // namespace

#include "preview_test.moc"
