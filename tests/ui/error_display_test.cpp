#include "ui/error_display.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "gui_test_support.h"

namespace {

using testsupport::TMessageBoxSeen;
using testsupport::WithMessageBox;

TEST(ErrorDisplay, FullStopOnlyAfterCharactersBeyondTheDot) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"Cannot create file x", "Cannot create file x."},
        {"Datei fehlt: bild.jpg", "Datei fehlt: bild.jpg."},
        {"(1)", "(1)"},
        {"a.", "a."},
        {"a!", "a!"},
        {"a)", "a)"},
        {"a-", "a-"},
        {"a ", "a "},
        {"a,", "a,"},
        {"a/", "a/."},
        {"a:", "a:."},
        {"grün", "grün."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(ui::ErrorDisplayText(QString::fromUtf8(message)), QString::fromUtf8(shown)) << message;
}

TEST(ErrorDisplay, TitleIsTheProgramNameUpToItsFirstDot) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"/opt/tavirel/HTMLTAVIREL.EXE", "Htmltavirel"},
        {"/usr/bin/tavirel", "tavirel"},
        {"/home/u/Tavirel.1.0.bin", "Tavirel"},
        {"/home/u/xMASTER", "xmaster"},
        {"/home/u/.versteckt", ""},
    };
    for (const auto& [path, title] : cases)
        EXPECT_EQ(ui::ApplicationTitleFromPath(QString::fromUtf8(path)), QString::fromUtf8(title)) << path;
}

TEST(ErrorDisplay, RaisedErrorsEndInTheBoxAndTheProgramGoesOn) {
    const struct {
        std::function<void()> handler;
        QString text;
    } cases[] = {
        {[] { throw std::runtime_error("Cannot create file gr\xFC\xDF<b>.html"); },
         QStringLiteral("Cannot create file grüß<b>.html.")},
        {[] { throw std::runtime_error("Schon zu Ende."); }, QStringLiteral("Schon zu Ende.")},
        {[] { throw 42; }, QStringLiteral("Unbekannter Fehler.")},
        {[] { throw std::bad_alloc(); }, QStringLiteral("Nicht genügend Arbeitsspeicher.")},
    };
    QWidget window;
    for (const auto& [handler, text] : cases) {
        bool returned = false;
        const TMessageBoxSeen seen = WithMessageBox([&] {
            ui::RunGuarded(&window, handler);
            returned = true;
        });
        EXPECT_TRUE(returned);
        EXPECT_EQ(seen.shown, 1);
        EXPECT_EQ(seen.caption, testsupport::ExpectedApplicationTitle());
        EXPECT_EQ(seen.text, text);
        EXPECT_TRUE(seen.errorIcon);
        EXPECT_EQ(seen.buttons, QStringList{"OK"});
        EXPECT_TRUE(seen.plainText);
    }
}

TEST(ErrorDisplay, AHandlerThatSucceedsShowsNothing) {
    int runs = 0;
    const TMessageBoxSeen seen = WithMessageBox([&] { ui::RunGuarded(nullptr, [&] { ++runs; }); });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seen.shown, 0);
}

class TThrowingWindow : public QWidget {
public:
    int clicks = 0;
    void ButtonClick() {
        ++clicks;
        throw std::runtime_error("Cannot create file index.html");
    }
};

TEST(ErrorDisplay, AGuardedHandlerFailsOnEveryClickAndTheWindowStaysUsable) {
    TThrowingWindow window;
    auto* button = new QPushButton(QStringLiteral("F"), &window);
    ui::ConnectGuarded(button, &QPushButton::clicked, &window, &TThrowingWindow::ButtonClick);
    window.show();
    for (int click = 1; click <= 2; ++click) {
        const TMessageBoxSeen seen = WithMessageBox([&] { QTest::mouseClick(button, Qt::LeftButton); });
        EXPECT_EQ(seen.shown, 1);
        EXPECT_EQ(seen.text, QStringLiteral("Cannot create file index.html."));
        EXPECT_EQ(window.clicks, click);
    }
}

}  // namespace
