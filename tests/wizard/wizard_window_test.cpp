// The wizard as the user first meets it: what a fresh wizard holds, pages
// whose controls fit under every style, help panels, where Tab and Enter go.

#include "wizard/wizard_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "gui_test_support.h"
#include "support/description.h"

using testsupport::FieldLines;
using testsupport::Find;

namespace {

class WizardWindow : public ::testing::Test {
protected:
    void SetUp() override { window_ = std::make_unique<TForm3>(); }

    void ShowActive() {
        window_->show();
        window_->activateWindow();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    template <typename T = QWidget>
    T* Control(const char* name) {
        return Find<T>(window_.get(), QString::fromUtf8(name));
    }

    std::vector<QWidget*> PageWidgets() const {
        std::vector<QWidget*> pages;
        for (int i = 0; i < window_->PageControl1->count(); ++i) pages.push_back(window_->PageControl1->widget(i));
        return pages;
    }

    // The visible controls placed on the page itself (a group's controls
    // lie inside the group).
    static std::vector<QWidget*> Controls(QWidget* page) {
        std::vector<QWidget*> controls;
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisible()) controls.push_back(child);
        return controls;
    }

    // Qt's own parts ("qt_...") and captions without a name are not
    // controls the user works with.
    static std::string Name(const QWidget* control) {
        const QString name = control->objectName();
        return name.startsWith(QLatin1String("qt_")) ? std::string() : name.toStdString();
    }

    // The flat buttons are clicked only; everything else the user types
    // into, picks from or presses is reached with Tab.
    static bool TakesInput(QWidget* control) {
        if (const auto* radio = qobject_cast<QRadioButton*>(control)) return radio->isChecked();
        return qobject_cast<QLineEdit*>(control) != nullptr || qobject_cast<QAbstractSpinBox*>(control) != nullptr ||
               qobject_cast<QAbstractItemView*>(control) != nullptr ||
               qobject_cast<QPlainTextEdit*>(control) != nullptr || qobject_cast<QCheckBox*>(control) != nullptr ||
               qobject_cast<QPushButton*>(control) != nullptr;
    }

    // For messages: the name, or what an unnamed caption says.
    static std::string Shown(const QWidget* control) {
        if (const auto* label = qobject_cast<const QLabel*>(control);
            label != nullptr && control->objectName().isEmpty())
            return "caption \"" + label->text().toStdString() + "\"";
        return control->metaObject()->className() + std::string(" ") + control->objectName().toStdString();
    }

    // Spin fields hand the focus to their inner edit; the user sees the field.
    static QString FocusedControlName() {
        for (QWidget* widget = QApplication::focusWidget(); widget != nullptr; widget = widget->parentWidget()) {
            const QString name = widget->objectName();
            if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) return name;
        }
        return QStringLiteral("<nothing>");
    }

    std::unique_ptr<TForm3> window_;
};

// Every control that feeds the page starts at the description's default,
// also those whose value the default page does not show (the link colours,
// the dot image, the text font, ...).
TEST_F(WizardWindow, FreshWindowDescribesTheDefaults) {
    EXPECT_EQ(FieldLines(window_->DescribePage()), FieldLines(core::TPageDescription{}));
}

// Controls overlaying each other or cut off at a page's edge hide what the
// user must read or click. Styles differ in tab height and frame width;
// every page keeps the size the layout was made for, so each help panel
// ends flush with its page.
TEST_F(WizardWindow, ControlsFitTheirPagesUnderEveryStyle) {
    const QString appStyle = QApplication::style()->name();
    for (const char* style : {"Fusion", "Windows"}) {
        ASSERT_NE(QApplication::setStyle(QString::fromUtf8(style)), nullptr) << style;
        window_ = std::make_unique<TForm3>();
        window_->show();
        EXPECT_EQ(window_->minimumSize(), window_->maximumSize()) << "a fixed frame";
        EXPECT_FALSE(window_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        const QRect pages = Control("PageControl1")->geometry();
        EXPECT_TRUE(window_->rect().contains(pages)) << style;
        EXPECT_TRUE(window_->rect().contains(window_->SpeedButton9->geometry())) << style;
        EXPECT_FALSE(pages.intersects(window_->SpeedButton9->geometry())) << style;
        for (QWidget* page : PageWidgets()) {
            testsupport::ShowPage(window_.get(), page->objectName());
            const std::string where = std::string(style) + " " + page->objectName().toStdString();
            EXPECT_EQ(page->size(), QSize(755, 365)) << where;
            const std::vector<QWidget*> controls = Controls(page);
            for (std::size_t i = 0; i < controls.size(); ++i) {
                const QRect place = controls[i]->geometry();
                EXPECT_TRUE(page->rect().contains(place)) << where << ": " << Shown(controls[i]) << " sticks out";
                for (std::size_t j = i + 1; j < controls.size(); ++j) {
                    // Neighbours may share their border line, as laid out.
                    const QRect shared = place.intersected(controls[j]->geometry());
                    EXPECT_TRUE(shared.width() <= 1 || shared.height() <= 1)
                        << where << ": " << Shown(controls[i]) << " overlaps " << Shown(controls[j]) << " by "
                        << shared.width() << "x" << shared.height();
                }
            }
            const auto* panel = page->findChild<QPlainTextEdit*>();
            if (panel != nullptr) {
                EXPECT_EQ(panel->geometry().right(), page->rect().right()) << where;
                EXPECT_EQ(panel->geometry().bottom(), page->rect().bottom()) << where;
            }
        }
    }
    window_.reset();
    QApplication::setStyle(appStyle);
}

TEST_F(WizardWindow, CodeViewFillsItsPageButForTheBrowserButton) {
    // The page lays itself out when it is first shown, at the size the
    // style gives the tab pages.
    window_->show();
    testsupport::ShowPage(window_.get(), QStringLiteral("TabSheet7"));
    const QRect page = Control("TabSheet7")->rect();
    EXPECT_EQ(Control("ListBox4")->geometry(), QRect(0, 0, page.width(), page.height() - 25));
    EXPECT_EQ(Control("SpeedButton10")->geometry(), QRect(0, page.height() - 25, 145, 25));
    EXPECT_EQ(Control("SpeedButton19")->geometry(), QRect(610, page.height() - 25, 145, 25));
    EXPECT_EQ(Control("Label21")->geometry().right() + 1, 605);
}

TEST_F(WizardWindow, HelpPanelsShowTheirTextFromTheTop) {
    struct TPanelCase {
        const char* page;
        const char* panel;
        int lineCount;
        int checkedLine;  // 1-based
        const char* expected;
    };
    const TPanelCase cases[] = {
        {"TabSheet1", "Memo1", 37, 1, "Hier können Sie den Hintergrund für"},
        {"TabSheet1", "Memo1", 37, 9, "  dargestellt werden."},
        {"TabSheet1", "Memo1", 37, 16, "\"bg.jpg\", dann  brauchen Sie nur"},
        {"TabSheet1", "Memo1", 37, 37, "Entfernung wird in Pixel gemessen."},
        {"TabSheet2", "Memo2", 25, 8, "können. ( klein[1]-sehr groß[6] )"},
        {"TabSheet3", "Memo3", 37, 6, "Dann das Verweisziel. (z.B \"Home.html)"},
        {"TabSheet3", "Memo3", 37, 14, "Kontrollkästchen \"Dots\" markieren "},
        {"TabSheet3", "Memo3", 37, 29, "\"Seite bearbeiten\" (Strg+E) öffnet"},
        {"TabSheet3", "Memo3", 37, 32, ""},
        {"TabSheet4", "Memo5", 27, 26, "               empfiehlt es sich nicht, die"},
        {"TabSheet5", "Memo4", 6, 5, "fläche \"Neues Bild\". "},
    };
    window_->show();
    for (const TPanelCase& c : cases) {
        testsupport::ShowPage(window_.get(), QString::fromUtf8(c.page));
        auto* panel = Control<QPlainTextEdit>(c.panel);
        const QStringList lines = panel->toPlainText().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), c.lineCount) << c.panel;
        EXPECT_EQ(lines[c.checkedLine - 1], QString::fromUtf8(c.expected)) << c.panel << " line " << c.checkedLine;
        EXPECT_TRUE(panel->isReadOnly()) << c.panel;
        EXPECT_EQ(panel->verticalScrollBar()->value(), 0) << c.panel;
        EXPECT_EQ(panel->textCursor().position(), 0) << c.panel;
        const QString before = panel->toPlainText();
        panel->setFocus();
        testsupport::Type(panel, QStringLiteral("xü"));
        testsupport::Key(panel, Qt::Key_Delete);
        EXPECT_EQ(panel->toPlainText(), before) << c.panel;
    }
}

// Tab reaches every control of a page that takes input, each once, and
// comes back round; a radio group counts once, at its checked button.
TEST_F(WizardWindow, TabReachesEveryControlOfAPageOnce) {
    ShowActive();
    for (QWidget* page : PageWidgets()) {
        testsupport::ShowPage(window_.get(), page->objectName());
        QStringList expected;
        QWidget* first = nullptr;
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (Name(control).empty() || !control->isVisible() || !TakesInput(control)) continue;
            expected.append(control->objectName());
            if (first == nullptr) first = control;
        }
        if (first == nullptr) continue;
        first->setFocus(Qt::TabFocusReason);
        QStringList walked{FocusedControlName()};
        for (int press = 0; press < 2 * expected.size() + 2; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QString name = FocusedControlName();
            if (name == expected.front()) break;
            // Between the last control and the first, the page's tab.
            if (name != QStringLiteral("PageControl1")) walked.append(name);
        }
        EXPECT_EQ(FocusedControlName(), expected.front()) << page->objectName().toStdString() << ": no way back";
        walked.sort();
        expected.sort();
        EXPECT_EQ(walked.join(QLatin1String(", ")).toStdString(), expected.join(QLatin1String(", ")).toStdString())
            << page->objectName().toStdString();
    }
}

TEST_F(WizardWindow, TabStopsAtTheCheckedRadioButtonOfAGroup) {
    struct TRadioCase {
        const char* page;
        const char* choice;  // clicked before the walk
        const char* start;
        std::vector<const char*> walk;
    };
    const TRadioCase cases[] = {
        {"TabSheet1", "hgf", "Memo1", {"hgf", "Edit14"}},
        {"TabSheet1", "htm", "CSS", {"htm", "Edit19"}},
        {"TabSheet2", "RadioButton5", "Memo2", {"RadioButton5", "Edit2"}},
    };
    ShowActive();
    for (const TRadioCase& c : cases) {
        testsupport::ShowPage(window_.get(), QString::fromUtf8(c.page));
        testsupport::Click(Control(c.choice));
        Control(c.start)->setFocus(Qt::TabFocusReason);
        for (const char* next : c.walk) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(FocusedControlName(), QString::fromUtf8(next)) << "after " << c.start;
        }
    }
    // The groups stay apart: choosing the extension left the background alone.
    EXPECT_TRUE(Control<QRadioButton>("hgf")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>("htm")->isChecked());
    EXPECT_EQ(window_->HeadingSizeChoice, 5);
}

// Enter presses at most one button, while all three push buttons keep the
// look of a default button wherever the focus has been.
TEST_F(WizardWindow, EnterPressesOnlyWhatItShould) {
    // The focused control, then the button Enter presses there ("" for none).
    struct TEnterCase {
        const char* focus;
        const char* pressed;
    };
    const TEnterCase cases[] = {
        {"Edit24", "Button1"},    // an edit passes Enter on to the default button
        {"ListBox1", "Button1"},  // so does the list
        {"Memo5", ""},            // the help panel keeps it
        {"BitBtn1", "BitBtn1"},   // a focused push button presses itself
        {"Edit23", "Button1"},    // and leaves the default button the default
        {"BitBtn8", "BitBtn8"},  {"Edit13", "Button1"}, {"Button1", "Button1"},
        {"Edit12", "Button1"},   {"Edit1", ""},  // no default button elsewhere
        {"SpinEdit4", ""},       {"Edit3", ""},         {"Edit10", ""},
    };
    const char* const buttons[] = {"Button1", "BitBtn1", "BitBtn8"};
    ShowActive();
    for (const TEnterCase& c : cases) {
        SCOPED_TRACE(std::string("Enter on ") + c.focus);
        std::vector<std::unique_ptr<QSignalSpy>> presses;
        for (const char* button : buttons)
            presses.push_back(std::make_unique<QSignalSpy>(Control<QPushButton>(button), &QPushButton::clicked));
        testsupport::ShowPageHolding(Control(c.focus));
        Control(c.focus)->setFocus();
        testsupport::Key(QApplication::focusWidget(), Qt::Key_Return);
        for (std::size_t i = 0; i < presses.size(); ++i) {
            EXPECT_EQ(presses[i]->count(), std::string(buttons[i]) == c.pressed ? 1 : 0) << buttons[i];
            EXPECT_TRUE(Control<QPushButton>(buttons[i])->isDefault()) << buttons[i];
        }
    }
}

}  // namespace
