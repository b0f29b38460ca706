// The start window and the life of the two windows: what shows at start,
// what "Start" and "Ende" do, and that the run ends with the start window.

#include "app/start_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <string>

#include "gui_test_support.h"
#include "ui/app_icon.h"
#include "wizard/wizard_window.h"

using testsupport::Click;
using testsupport::Find;

namespace {

class StartWindow : public ::testing::Test {
protected:
    void SetUp() override {
        start_ = std::make_unique<TForm1>();
        start_->show();
    }

    TForm3* Wizard() { return start_->Wizard(); }

    void PressStart() { Click(Find(start_.get(), QStringLiteral("SpeedButton2"))); }
    void PressEnde() { Click(Find(start_.get(), QStringLiteral("SpeedButton3"))); }

    static int VisibleWizards() {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<TForm3*>(window) != nullptr && window->isVisible()) ++count;
        return count;
    }

    std::unique_ptr<TForm1> start_;
};

TEST_F(StartWindow, LooksAsDesigned) {
    EXPECT_EQ(start_->windowTitle(), QStringLiteral("HTML Tavirel"));
    EXPECT_EQ(start_->minimumSize(), QSize(377, 141));
    EXPECT_EQ(start_->maximumSize(), QSize(377, 141));
    EXPECT_EQ(start_->pos(), QPoint(278, 226));
    EXPECT_FALSE(start_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(start_->palette().color(QPalette::Window), QColor(254, 230, 156));

    const struct {
        const char* name;
        const char* text;
        QRect place;
    } controls[] = {
        {"Label1", "HTML", {16, 0, 146, 55}},
        {"Label2", "Tavirel", {176, 16, 176, 48}},
        {"SpeedButton2", "Start", {128, 72, 121, 65}},
        {"SpeedButton3", "Ende", {256, 72, 113, 65}},
    };
    for (const auto& c : controls) {
        QWidget* control = Find(start_.get(), QString::fromUtf8(c.name));
        const auto* label = qobject_cast<QLabel*>(control);
        const auto* button = qobject_cast<QToolButton*>(control);
        EXPECT_EQ(label != nullptr ? label->text() : button->text(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(control->geometry(), c.place) << c.name;
    }
    EXPECT_EQ(Find(start_.get(), QStringLiteral("Label1"))->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}

TEST_F(StartWindow, BothWindowsCarryTheIcon) {
    const QImage icon = ui::AppIcon().pixmap(32, 32).toImage();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) colours.insert(icon.pixel(x, y));
    EXPECT_LE(colours.size(), 16);
    EXPECT_FALSE(start_->windowIcon().isNull());
    EXPECT_FALSE(Wizard()->windowIcon().isNull());
}

TEST_F(StartWindow, WizardIsMadeHiddenRightAfterTheFirstFrame) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(start_.get()));
    EXPECT_TRUE(QTest::qWaitFor([this] { return start_->HasWizard(); }, 5000));
    EXPECT_EQ(VisibleWizards(), 0);
    EXPECT_TRUE(start_->isVisible());
}

TEST_F(StartWindow, StartBeforeTheFirstFrameShowsTheWizardAtOnce) {
    TForm1 unpainted;
    Click(Find(&unpainted, QStringLiteral("SpeedButton2")));
    ASSERT_TRUE(unpainted.HasWizard());
    EXPECT_TRUE(unpainted.Wizard()->isVisible());
}

TEST_F(StartWindow, StartShowsOneWizardHoweverOftenPressed) {
    PressStart();
    EXPECT_TRUE(Wizard()->isVisible());
    PressStart();
    EXPECT_EQ(VisibleWizards(), 1);
    EXPECT_TRUE(start_->isVisible());
}

TEST_F(StartWindow, ClosedWizardComesBackAsItWasLeft) {
    PressStart();
    testsupport::Retype(Find(Wizard(), QStringLiteral("Edit5")), QStringLiteral("Willkommen"));
    testsupport::ShowPage(Wizard(), QStringLiteral("TabSheet3"));
    Click(Find(Wizard(), QStringLiteral("SpeedButton2")));  // "Neuer Link"
    ASSERT_TRUE(Wizard()->close());
    EXPECT_FALSE(Wizard()->isVisible());
    EXPECT_TRUE(start_->isVisible());

    PressStart();
    EXPECT_TRUE(Wizard()->isVisible());
    EXPECT_EQ(Find<QLineEdit>(Wizard(), QStringLiteral("Edit5"))->text(), QStringLiteral("Willkommen"));
    EXPECT_EQ(Wizard()->ListBox5, QStringList{QStringLiteral("verweisziel.html")});
}

TEST_F(StartWindow, EndeClosesBothWindows) {
    PressStart();
    PressEnde();
    EXPECT_FALSE(start_->isVisible());
    EXPECT_FALSE(Wizard()->isVisible());
}

TEST_F(StartWindow, ClosingTheStartWindowEndsTheRunAlsoWithTheWizardOpen) {
    // By "Ende" and by the close box, each with and without the wizard.
    for (const bool wizardOpen : {true, false}) {
        for (const bool byEnde : {true, false}) {
            SCOPED_TRACE(std::string(byEnde ? "Ende" : "close box") + (wizardOpen ? ", wizard open" : " alone"));
            start_->show();
            if (wizardOpen) PressStart();
            QTimer::singleShot(0, start_.get(), [this, byEnde] {
                if (byEnde)
                    PressEnde();
                else
                    start_->close();
            });
            // Should the loop not end, this one makes the test fail instead of hang.
            QTimer guard;
            guard.setSingleShot(true);
            QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(1); });
            guard.start(10000);
            EXPECT_EQ(QApplication::exec(), 0);
            EXPECT_FALSE(start_->isVisible());
            EXPECT_FALSE(Wizard()->isVisible());
        }
    }
}

}  // namespace
