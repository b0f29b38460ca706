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

// The box's text gets a full stop only after characters beyond the dot;
// its title is the program's name up to its first dot.
TEST(ErrorDisplay, TextAndTitle) {
    using TConversion = QString (*)(const QString&);
    const TConversion text = ui::ErrorDisplayText;
    const TConversion title = ui::ApplicationTitleFromPath;
    const struct {
        TConversion convert;
        const char* given;
        const char* shown;
    } cases[] = {
        {text, "Cannot create file x", "Cannot create file x."},
        {text, "Datei fehlt: bild.jpg", "Datei fehlt: bild.jpg."},
        {text, "(1)", "(1)"},
        {text, "a.", "a."},
        {text, "a!", "a!"},
        {text, "a)", "a)"},
        {text, "a-", "a-"},
        {text, "a ", "a "},
        {text, "a,", "a,"},
        {text, "a/", "a/."},
        {text, "a:", "a:."},
        {text, "grün", "grün."},
        {text, "", ""},
        {title, "/opt/tavirel/HTMLTAVIREL.EXE", "Htmltavirel"},
        {title, "/usr/bin/tavirel", "tavirel"},
        {title, "/home/u/Tavirel.1.0.bin", "Tavirel"},
        {title, "/home/u/xMASTER", "xmaster"},
        {title, "/home/u/.versteckt", ""},
    };
    for (const auto& [convert, given, shown] : cases)
        EXPECT_EQ(convert(QString::fromUtf8(given)), QString::fromUtf8(shown)) << given;
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
