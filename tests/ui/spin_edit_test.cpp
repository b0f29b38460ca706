#include "ui/spin_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <cstdlib>
#include <utility>
#include <vector>

#include "gui_test_support.h"
#include "ui/text_boundary.h"

namespace {

using testsupport::Key;
using testsupport::Retype;
using testsupport::Type;

// Stands for a window that routes Enter itself.
class TKeyRecordingWindow : public QWidget {
public:
    std::vector<int> keysSeen;

protected:
    void keyPressEvent(QKeyEvent* event) override { keysSeen.push_back(event->key()); }
};

class SpinEdit : public ::testing::Test {
protected:
    SpinEdit() : spin(new ui::TSpinEdit(&window)), other(new QLineEdit(&window)) {
        window.resize(200, 80);
        spin->setGeometry(10, 10, 120, 24);
        other->setGeometry(10, 44, 120, 24);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        spin->setFocus();
    }

    QPoint ArrowCenter(QStyle::SubControl arrow) const {
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.subControls =
            QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        option.frame = spin->hasFrame();
        return spin->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, spin).center();
    }

    TKeyRecordingWindow window;
    ui::TSpinEdit* spin;
    QLineEdit* other;
};

// Every refused key beeps, Enter included, which the window still gets.
TEST_F(SpinEdit, TypingTakesOnlyNumberCharacters) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const struct {
        const QLocale& locale;
        const char* typed;
        int thenKey;  // 0 for none
        const char* kept;
        int beeps;
        bool keyPassedOn;
    } cases[] = {
        {german, "12a", 0, "12", 1, false},
        {german, "-1,5", 0, "-1,5", 0, false},
        {german, "-1.5", 0, "-15", 1, false},
        {english, "-1.5", 0, "-1.5", 0, false},
        {english, "-1,5", 0, "-15", 1, false},
        {german, "+7x€ü 3", 0, "+73", 4, false},
        {german, "$ff", 0, "", 3, false},
        {german, "12", Qt::Key_Return, "12", 1, true},
        {english, "12", Qt::Key_Enter, "12", 1, true},
        {german, "12", Qt::Key_Backspace, "1", 0, false},
        {german, "12", Qt::Key_Escape, "12", 0, true},
        {german, "12", Qt::Key_PageUp, "12", 0, true},
    };
    const QLocale before;
    for (const auto& c : cases) {
        QLocale::setDefault(c.locale);
        Retype(spin, QString());
        window.keysSeen.clear();
        QSignalSpy beeps(spin, &ui::TSpinEdit::beeped);
        Type(spin, QString::fromUtf8(c.typed));
        if (c.thenKey != 0) Key(spin, c.thenKey);
        EXPECT_EQ(spin->text(), QString::fromUtf8(c.kept)) << c.typed << " " << c.thenKey;
        EXPECT_EQ(beeps.count(), c.beeps) << c.typed << " " << c.thenKey;
        EXPECT_EQ(window.keysSeen, c.keyPassedOn ? std::vector<int>{c.thenKey} : std::vector<int>{}) << c.typed;
    }
    QLocale::setDefault(before);
}

TEST_F(SpinEdit, ControlKeysStillEdit) {
    Type(spin, QStringLiteral("123"));
    Key(spin, Qt::Key_Backspace);
    Key(spin, Qt::Key_Home);
    Key(spin, Qt::Key_Delete);
    Type(spin, QStringLiteral("9"));
    EXPECT_EQ(spin->text(), QStringLiteral("92"));
}

TEST_F(SpinEdit, UpAndDownKeysStepTheValueAsReadFromTheText) {
    // The text, then what Up and what Down make of it.
    const struct {
        const char* text;
        const char* up;
        const char* down;
    } cases[] = {
        {"12", "13", "11"},
        {"-1", "0", "-2"},
        {"2147483647", "2147483647", "2147483646"},
        {"-2147483648", "-2147483647", "-2147483648"},
        {"abc", "1", "-1"},
        {"", "1", "-1"},
        {"$10", "17", "15"},
        {"$FFFFFFFF", "0", "-2"},
        {"1,5", "1", "-1"},
    };
    for (const auto& [text, up, down] : cases) {
        for (const auto& [key, stepped] : {std::pair{Qt::Key_Up, up}, std::pair{Qt::Key_Down, down}}) {
            spin->setText(QString::fromUtf8(text));
            Key(spin, key);
            EXPECT_EQ(spin->text(), QString::fromUtf8(stepped)) << text << (key == Qt::Key_Up ? " up" : " down");
        }
    }
    // The page keys leave the value alone.
    for (const Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown}) {
        spin->setText(QStringLiteral("12"));
        Key(spin, key);
        EXPECT_EQ(spin->text(), QStringLiteral("12"));
    }
}

TEST_F(SpinEdit, ClickedArrowsStepAndFocusTheField) {
    spin->setText(QStringLiteral("12"));
    other->setFocus();
    ASSERT_FALSE(spin->hasFocus());
    QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, ArrowCenter(QStyle::SC_SpinBoxUp));
    EXPECT_EQ(spin->text(), QStringLiteral("13"));
    EXPECT_TRUE(spin->hasFocus());
    other->setFocus();
    QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, ArrowCenter(QStyle::SC_SpinBoxDown));
    QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, ArrowCenter(QStyle::SC_SpinBoxDown));
    EXPECT_EQ(spin->text(), QStringLiteral("11"));
    EXPECT_TRUE(spin->hasFocus());
    EXPECT_EQ(spin->value(), 11);
}

// A held arrow steps once at once, then again and again until released.
TEST_F(SpinEdit, HeldArrowsRepeatUntilReleased) {
    for (const QStyle::SubControl arrow : {QStyle::SC_SpinBoxUp, QStyle::SC_SpinBoxDown}) {
        spin->setText(QStringLiteral("0"));
        const QPoint center = ArrowCenter(arrow);
        QTest::mousePress(spin, Qt::LeftButton, Qt::NoModifier, center);
        EXPECT_EQ(std::abs(spin->value()), 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(spin->value()) >= 3; }, 60000));
        QTest::mouseRelease(spin, Qt::LeftButton, Qt::NoModifier, center);
        EXPECT_EQ(spin->value() > 0, arrow == QStyle::SC_SpinBoxUp);
    }
}

TEST_F(SpinEdit, LeavingTheFieldKeepsItsText) {
    for (const char* text : {"1,5", "abc", " 7", "", "$ZZ"}) {
        spin->setFocus();
        Retype(spin, QString());
        spin->setText(QString::fromUtf8(text));
        Key(spin, Qt::Key_Tab);
        ASSERT_FALSE(spin->hasFocus()) << text;
        EXPECT_EQ(spin->text(), QString::fromUtf8(text));
    }
}

TEST_F(SpinEdit, EnterGoesToTheWindowAndLeavesTheText) {
    spin->setText(QStringLiteral("1,5"));
    Key(spin, Qt::Key_Return);
    Key(spin, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window.keysSeen, (std::vector<int>{Qt::Key_Return, Qt::Key_Enter}));
    EXPECT_EQ(spin->text(), QStringLiteral("1,5"));
}

TEST_F(SpinEdit, PasteKeepsWhateverTheClipboardHeld) {
    QApplication::clipboard()->setText(QStringLiteral("$FF ü\r\nx"));
    Type(spin, QStringLiteral("1"));
    Key(spin, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(spin->text(), QStringLiteral("1$FF ü\r\nx"));
    EXPECT_EQ(ui::ToAnsi(spin->text()), "1$FF \xFC  x");
    Key(spin, Qt::Key_A, Qt::ControlModifier);
    Key(spin, Qt::Key_V, Qt::ControlModifier);
    Key(spin, Qt::Key_Right);
    Key(spin, Qt::Key_Backspace);
    Key(spin, Qt::Key_Backspace);
    Key(spin, Qt::Key_Backspace);
    Key(spin, Qt::Key_Backspace);
    Key(spin, Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), QStringLiteral("$FF"));
    EXPECT_EQ(spin->value(), 255);
}

}  // namespace
