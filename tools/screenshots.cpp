// Draws the start window, every page of the wizard, the link dialog and the
// window "Veröffentlichen" (also as "Vom Server holen") into
// PNG files, so that the documentation shows what the program really looks
// like. The wizard is filled with a small example page first, and the finish button is
// pressed inside a scratch directory so that the code view has content. Given
// a page directory, the example page is written there instead, with pictures
// for the images it names, for a browser to draw, and the preview draws it
// beside the wizard and as a phone shows it.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QString>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <iterator>

#include "app/start_window.h"
#include "ui/app_icon.h"
#include "ui/list_box.h"
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

// Plain gradients stand in for the photos the example page names.
bool DrawPictures(const QDir& pageDir) {
    const struct {
        const char* file;
        int width;
        int height;
        QColor from;
        QColor to;
    } pictures[] = {
        {"hintergrund.jpg", 64, 64, QColor(255, 250, 235), QColor(255, 250, 235)},
        {"bild.jpg", 48, 32, QColor(0, 128, 0), QColor(200, 230, 120)},
        {"foto.jpg", 120, 80, QColor(250, 200, 90), QColor(230, 110, 60)},
        {"strand.jpg", 120, 80, QColor(90, 170, 230), QColor(240, 220, 160)},
        {"berge.jpg", 120, 80, QColor(150, 190, 230), QColor(90, 120, 90)},
    };
    bool ok = true;
    for (const auto& picture : pictures) {
        QImage image(picture.width, picture.height, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, 0, picture.height);
        gradient.setColorAt(0, picture.from);
        gradient.setColorAt(1, picture.to);
        painter.fillRect(image.rect(), gradient);
        painter.end();
        ok = image.save(pageDir.filePath(QString::fromLatin1(picture.file)), "JPEG", 90) && ok;
    }
    if (!ok) std::fprintf(stderr, "screenshots: cannot draw the pictures into %s\n", qPrintable(pageDir.path()));
    return ok;
}

// Finishes the page inside the page directory, or else inside a scratch
// directory: the code view fills up and no file lands where the tool was
// started.
bool Finish(TForm3& wizard, const QString& pagePath) {
    QTemporaryDir scratch;
    const QString target = pagePath.isEmpty() ? scratch.path() : pagePath;
    const QString home = QDir::currentPath();
    if (!scratch.isValid() || !QDir().mkpath(target) || !QDir::setCurrent(target)) {
        std::fprintf(stderr, "screenshots: cannot write the page into %s\n", qPrintable(target));
        return false;
    }
    // The pictures come first, so that the line under the code view names
    // only what the example really lacks: the page it links to.
    const bool drawn = DrawPictures(QDir(target));
    wizard.SpeedButton9->click();
    QDir::setCurrent(home);
    return drawn;
}

// The dialog the first link opens for editing, drawn while it is open and
// then closed without a change.
bool SaveLinkDialog(TForm3& wizard, const QDir& outDir) {
    wizard.PageControl1->setCurrentWidget(wizard.TabSheet3);
    ui::ListSelect(wizard.ListBox2, 0);
    bool ok = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) return;
        poll.stop();
        ok = Save(dialog, outDir, QStringLiteral("link-dialog.png"));
        dialog->close();
    });
    poll.start();
    wizard.ListBox2DblClick();
    if (!ok) std::fprintf(stderr, "screenshots: the link dialog did not open\n");
    return ok;
}

// "Veröffentlichen" as a user fills it in for a web space, from the plugin
// the build puts beside the tools. The check box is drawn as on a desktop
// with a keyring, whether or not this machine has one.
bool SavePublishWindow(TForm1& startWindow, const QDir& outDir) {
    try {
        startWindow.Publishing().Open();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "screenshots: no window \"Veröffentlichen\": %s\n", error.what());
        return false;
    }
    QWidget* window = startWindow.Publishing().Window();
    const auto field = [window](const char* name, const QString& text) {
        if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name))) edit->setText(text);
    };
    field("Edit1", QStringLiteral("ssh.example.org"));
    field("Edit3", QStringLiteral("anna"));
    field("Edit4", QStringLiteral("geheim"));
    field("Edit6", QStringLiteral("www"));
    field("Edit7", QStringLiteral("https://www.beispiel.de/"));
    if (auto* remember = window->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))) {
        remember->setEnabled(true);
        remember->setChecked(true);
    }
    bool ok = Save(window, outDir, QStringLiteral("publish.png"));
    // The same login, fetching the site back into a new folder.
    startWindow.Publishing().OpenFetch();
    field("Edit12", QStringLiteral("/home/anna/ssh.example.org"));
    ok = Save(window, outDir, QStringLiteral("fetch.png")) && ok;
    window->close();
    return ok;
}

// Waits until the view has loaded the page again after the action, and the
// engine has drawn it, which it does a while later.
void WaitForDrawing(QWidget* view, const std::function<void()>& action) {
    QEventLoop loop;
    QObject::connect(view, SIGNAL(loadFinished(bool)), &loop, SLOT(quit()));
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    action();
    loop.exec();
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
}

// The wizard with the preview beside it, as on a desktop.
bool SaveBeside(QWidget* wizard, QWidget* preview, const QDir& outDir) {
    QApplication::processEvents();
    const QPixmap left = wizard->grab();
    const QPixmap right = preview->grab();
    QPixmap both(left.width() + right.width(), std::max(left.height(), right.height()));
    both.setDevicePixelRatio(left.devicePixelRatio());
    both.fill(QColor(240, 240, 240));
    QPainter painter(&both);
    painter.drawPixmap(0, 0, left);
    painter.drawPixmap(left.width() / left.devicePixelRatio(), 0, right);
    painter.end();
    const QString path = outDir.filePath(QStringLiteral("preview.png"));
    if (!both.save(path, "PNG", 0)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The preview of the example page, beside the wizard on the screen, and in
// its phone view, there with "Für Handys" on, so that it is laid out at the
// phone's width. Drawn from the page directory, where its pictures are.
bool SavePreviews(TForm1& startWindow, TForm3& wizard, const QString& pagePath, const QDir& outDir) {
    const QString home = QDir::currentPath();
    if (!QDir::setCurrent(pagePath)) return false;
    bool ok = false;
    try {
        wizard.PageControl1->setCurrentWidget(wizard.TabSheet7);
        startWindow.Preview().Open();
        QWidget* window = startWindow.Preview().Window();
        auto* screen = window->findChild<QAbstractButton*>(QStringLiteral("ScreenButton"));
        auto* phone = window->findChild<QAbstractButton*>(QStringLiteral("PhoneButton"));
        QWidget* view = window->findChild<QWidget*>(QStringLiteral("PreviewView"));
        if (screen != nullptr && phone != nullptr && view != nullptr) {
            window->resize(800, 600);
            WaitForDrawing(view, [screen] { screen->click(); });
            ok = SaveBeside(&wizard, window, outDir);
            wizard.handy->click();
            window->resize(480, 640);
            WaitForDrawing(view, [phone] { phone->click(); });
            ok = Save(window, outDir, QStringLiteral("preview-phone.png")) && ok;
        } else {
            std::fprintf(stderr, "screenshots: the preview has no phone view\n");
        }
        window->close();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "screenshots: no preview: %s\n", error.what());
    }
    QDir::setCurrent(home);
    return ok;
}

// The page "Über mich", started from its link on "Links" as a user starts
// it, given a line of its own and finished beside the example page: the
// site the browser shows in docs/site.png.
bool AddLinkedPage(TForm1& startWindow, const QString& pagePath) {
    const QString home = QDir::currentPath();
    if (!QDir::setCurrent(pagePath)) return false;
    TForm3* start = startWindow.Wizard();
    // What the previews changed is no part of the example page.
    start->MarkSaved();
    start->PageControl1->setCurrentWidget(start->TabSheet3);
    ui::ListSelect(start->ListBox2, 1);
    start->SpeedButton21->click();
    // The start window switches to the new page once the click is done.
    QApplication::processEvents();
    TForm3* page = startWindow.Wizard();
    const bool switched = page != start;
    if (switched) {
        page->PageControl1->setCurrentWidget(page->TabSheet4);
        Enter(page->Edit12, QStringLiteral("Ich wohne am Meer und fotografiere gern."));
        page->Button1->click();
        page->SpeedButton9->click();
    }
    QDir::setCurrent(home);
    if (!switched || !QFileInfo::exists(pagePath + QStringLiteral("/ueber.html"))) {
        std::fprintf(stderr, "screenshots: \"Seite bearbeiten\" made no page ueber.html\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY [PAGE_DIRECTORY]\n", argc > 0 ? argv[0] : "screenshots");
        return 2;
    }
    const QString outPath = QFile::decodeName(argv[1]);
    const QString pagePath = argc == 3 ? QDir(QFile::decodeName(argv[2])).absolutePath() : QString();
    // The preview's engine, loaded late as the program loads it, needs this
    // to start on Qt's offscreen display.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    ui::InstallFontSubstitutions();
    QApplication::setWindowIcon(ui::AppIcon());

    // The choices the windows remember stay the user's own.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());

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
    ok = Finish(wizard, pagePath) && ok;
    for (int page = 0; page < wizard.PageControl1->count() && page < static_cast<int>(std::size(kPageFiles)); ++page) {
        wizard.PageControl1->setCurrentIndex(page);
        ok = Save(&wizard, outDir, QString::fromLatin1(kPageFiles[page])) && ok;
    }
    ok = SaveLinkDialog(wizard, outDir) && ok;
    // Absolute: the previews are drawn from the page directory.
    if (!pagePath.isEmpty()) ok = SavePreviews(startWindow, wizard, pagePath, QDir(outDir.absolutePath())) && ok;
    ok = SavePublishWindow(startWindow, outDir) && ok;
    if (!pagePath.isEmpty()) ok = AddLinkedPage(startWindow, pagePath) && ok;
    return ok ? 0 : 1;
}
