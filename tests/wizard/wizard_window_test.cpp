// The wizard as the user first meets it: pages, initial contents, help
// panels, the Tab order of each page and what the Enter key presses.

#include "wizard/wizard_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <vector>

#include "gui_test_support.h"
#include "ui/list_box.h"
#include "ui/spin_edit.h"

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

    QString Text(const char* name) {
        QWidget* control = Control(name);
        if (auto* spin = qobject_cast<ui::TSpinEdit*>(control)) return spin->text();
        if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
        if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
        if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
        if (auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
        return QStringLiteral("<no text>");
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

TEST_F(WizardWindow, WindowFrameAndPages) {
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Assistent"));
    EXPECT_EQ(window_->minimumSize(), QSize(763, 433));
    EXPECT_EQ(window_->maximumSize(), QSize(763, 433));
    EXPECT_EQ(window_->pos(), QPoint(191, 126));
    EXPECT_FALSE(window_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window_->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(window_->palette().color(QPalette::Window), QColor(254, 230, 156));

    auto* tabs = Control<QTabWidget>("PageControl1");
    const std::vector<std::pair<QString, QString>> pages = {
        {QStringLiteral("TabSheet1"), QStringLiteral("Allgemeine Einstellungen")},
        {QStringLiteral("TabSheet2"), QStringLiteral("Überschrift")},
        {QStringLiteral("TabSheet3"), QStringLiteral("Links")},
        {QStringLiteral("TabSheet4"), QStringLiteral("Text")},
        {QStringLiteral("TabSheet5"), QStringLiteral("Bilder")},
        {QStringLiteral("TabSheet7"), QStringLiteral("HTML Code")},
    };
    ASSERT_EQ(tabs->count(), static_cast<int>(pages.size()));
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_EQ(tabs->widget(i)->objectName(), pages[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(tabs->tabText(i), pages[static_cast<std::size_t>(i)].second);
    }
    EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("TabSheet1"));

    auto* finish = Control<QToolButton>("SpeedButton9");
    EXPECT_EQ(finish->text(), QStringLiteral("F     E     R     T     I     G"));
    EXPECT_EQ(finish->geometry(), QRect(0, 400, 761, 30));
    EXPECT_EQ(finish->focusPolicy(), Qt::NoFocus);
}

TEST_F(WizardWindow, FreshWindowHoldsTheInitialContents) {
    const std::vector<std::pair<const char*, const char*>> texts = {
        {"Edit1", "hintergrund.jpg"},
        {"Edit14", "#FFFFFF"},
        {"Edit19", "index"},
        {"Edit15", "#000000"},
        {"Edit16", "#000000"},
        {"Edit17", "#000000"},
        {"Edit18", "#000000"},
        {"SpinEdit4", "0"},
        {"SpinEdit5", "0"},
        {"Edit2", "Neue Seite"},
        {"Edit5", "Neue Seite"},
        {"Edit20", "#000000"},
        {"Edit21", "Arial"},
        {"Edit8", "bild.jpg"},
        {"Edit9", "eckbild.jpg"},
        {"SpinEdit1", "0"},
        {"Edit3", "Link"},
        {"Edit4", "verweisziel.html"},
        {"Edit6", "dot.jpg"},
        {"Edit7", "lbg.jpg"},
        {"SpinEdit2", "0"},
        {"Edit12", ""},
        {"Edit24", "#000000"},
        {"Edit25", "Arial"},
        {"Edit13", ""},
        {"Edit22", "Link"},
        {"Edit23", "seite.html"},
        {"Edit10", ""},
        {"Edit11", ""},
        {"SpinEdit3", "1"},
        {"Label10", "A. Einstellungen"},
        {"Label11", "Überschrift"},
        {"Label9", "Links"},
        {"Label20", "Text"},
        {"Label16", "Bilder"},
        {"GroupBox1", "Website"},
        {"Button1", "Hinzufügen"},
        {"BitBtn8", "Einfügen"},
        {"BitBtn1", "Einfügen"},
        {"SpeedButton2", "Neuer Link"},
        {"SpeedButton5", "Link löschen"},
        {"SpeedButton6", "Zeilenumbruch"},
        {"SpeedButton7", "Zeile löschen"},
        {"SpeedButton8", "Alles löschen"},
        {"SpeedButton3", "Neues Bild"},
        {"SpeedButton4", "Bild löschen"},
        {"SpeedButton10", "Im Browser ansehen"},
        {"l", "Linksbündig"},
        {"m", "Mittig"},
        {"r", "Rechtsbündig"},
        {"hgb", "Hintergrundbild"},
        {"hgf", "Hintergrundfarbe"},
        {"html", "Html"},
        {"htm", "Htm"},
        {"CSS", "CSS Style sheets verwenden"},
        {"fett", "Fett"},
        {"eck", "Eckbild"},
        {"Dots", "Dots"},
        {"lh", "Link-Hintergrund"},
    };
    for (const auto& [name, text] : texts) EXPECT_EQ(Text(name), QString::fromUtf8(text)) << name;

    const std::vector<std::pair<const char*, bool>> checked = {
        {"hgb", true},
        {"hgf", false},
        {"html", true},
        {"htm", false},
        {"CSS", false},
        {"fett", true},
        {"eck", false},
        {"Dots", false},
        {"lh", false},
        {"l", false},
        {"m", false},
        {"r", false},
        {"RadioButton1", false},
        {"RadioButton2", false},
        {"RadioButton3", true},
        {"RadioButton4", false},
        {"RadioButton5", false},
        {"RadioButton6", false},
    };
    for (const auto& [name, state] : checked) EXPECT_EQ(Control<QAbstractButton>(name)->isChecked(), state) << name;

    for (const char* list : {"ListBox1", "ListBox2", "ListBox3", "ListBox4"})
        EXPECT_EQ(Control<QListView>(list)->model()->rowCount(), 0) << list;
    EXPECT_TRUE(window_->ListBox5.isEmpty());
    EXPECT_TRUE(window_->ListBox6.isEmpty());
    EXPECT_EQ(window_->HeadingSizeChoice, 3);
}

TEST_F(WizardWindow, ControlsSitWhereTheLayoutPutsThem) {
    const std::vector<std::pair<const char*, QRect>> places = {
        {"Label10", {16, 8, 315, 55}},        {"hgb", {16, 96, 113, 17}},         {"GroupBox1", {16, 240, 169, 113}},
        {"Edit19", {8, 32, 153, 21}},         {"html", {96, 64, 65, 17}},         {"SpinEdit5", {360, 200, 121, 22}},
        {"RadioButton6", {216, 208, 41, 17}}, {"SpinEdit1", {280, 216, 169, 22}}, {"ListBox2", {16, 96, 233, 73}},
        {"SpeedButton5", {152, 168, 97, 25}}, {"Button1", {16, 64, 217, 25}},     {"ListBox1", {16, 144, 217, 121}},
        {"r", {264, 208, 121, 22}},           {"BitBtn1", {408, 192, 121, 25}},   {"SpinEdit3", {264, 136, 161, 22}},
        {"Memo1", {546, 0, 209, 365}},        {"Memo4", {546, 0, 209, 365}},
    };
    for (const auto& [name, rect] : places) EXPECT_EQ(Control(name)->geometry(), rect) << name;

    const std::vector<std::pair<const char*, QPoint>> hints = {
        {"HintTabSheet1_1", {296, 328}}, {"HintTabSheet1_2", {296, 344}}, {"HintTabSheet4_2", {296, 344}},
        {"HintTabSheet5_1", {296, 312}}, {"HintTabSheet5_3", {296, 344}},
    };
    for (const auto& [name, place] : hints) EXPECT_EQ(Control(name)->pos(), place) << name;
    EXPECT_EQ(Text("HintTabSheet2_2"), QStringLiteral("Links, um fortzufahren."));
    EXPECT_EQ(Text("HintTabSheet5_2"), QStringLiteral("Assistenten zu beenden und ihre"));
}

// Styles differ in tab height and frame width; every page keeps the size
// the layout was made for, so each help panel ends flush with its page.
TEST_F(WizardWindow, PagesKeepTheirSizeUnderEveryStyle) {
    const QRect helpPanel(546, 0, 209, 365);
    const struct {
        const char* page;
        const char* edgeControl;
        QRect place;
    } pages[] = {
        {"TabSheet1", "Memo1", helpPanel}, {"TabSheet2", "Memo2", helpPanel},
        {"TabSheet3", "Memo3", helpPanel}, {"TabSheet4", "Memo5", helpPanel},
        {"TabSheet5", "Memo4", helpPanel}, {"TabSheet7", "ListBox4", {0, 0, 755, 340}},
    };
    const QString appStyle = QApplication::style()->name();
    for (const char* style : {"Fusion", "Windows"}) {
        ASSERT_NE(QApplication::setStyle(QString::fromUtf8(style)), nullptr) << style;
        window_ = std::make_unique<TForm3>();
        window_->show();
        for (const auto& [page, edgeControl, place] : pages) {
            testsupport::ShowPage(window_.get(), QString::fromUtf8(page));
            EXPECT_EQ(Control(page)->size(), QSize(755, 365)) << style << " " << page;
            EXPECT_EQ(Control(edgeControl)->geometry(), place) << style << " " << edgeControl;
        }
        EXPECT_EQ(Control("PageControl1")->geometry(), QRect(0, 0, 763, 393)) << style;
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
        {"TabSheet3", "Memo3", 34, 6, "Dann das Verweisziel. (z.B \"Home.html)"},
        {"TabSheet3", "Memo3", 34, 14, "Kontrollkästchen \"Dots\" markieren "},
        {"TabSheet3", "Memo3", 34, 29, ""},
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
    }
}

TEST_F(WizardWindow, HelpPanelTakesNoTyping) {
    window_->show();
    testsupport::ShowPage(window_.get(), QStringLiteral("TabSheet5"));
    auto* panel = Control<QPlainTextEdit>("Memo4");
    const QString before = panel->toPlainText();
    panel->setFocus();
    testsupport::Type(panel, QStringLiteral("xü"));
    testsupport::Key(panel, Qt::Key_Delete);
    EXPECT_EQ(panel->toPlainText(), before);
}

TEST_F(WizardWindow, TabKeyWalksEachPageInItsOrder) {
    struct TOrderCase {
        const char* page;
        std::vector<const char*> order;
    };
    const TOrderCase cases[] = {
        {"TabSheet1",
         {"Edit1", "Memo1", "hgb", "Edit14", "Edit15", "Edit16", "Edit17", "Edit18", "fett", "CSS", "html", "Edit19",
          "SpinEdit4", "SpinEdit5"}},
        {"TabSheet2",
         {"Memo2", "RadioButton3", "Edit2", "Edit5", "Edit8", "eck", "Edit9", "SpinEdit1", "Edit20", "Edit21"}},
        {"TabSheet3", {"Memo3", "Edit3", "Dots", "Edit4", "ListBox2", "Edit6", "Edit7", "lh", "SpinEdit2"}},
        {"TabSheet4",
         {"Memo5", "Edit12", "Button1", "ListBox1", "Edit13", "BitBtn8", "Edit22", "Edit23", "BitBtn1", "Edit24",
          "Edit25"}},
        {"TabSheet5", {"Edit10", "ListBox3", "Edit11", "Memo4", "SpinEdit3"}},
    };
    ShowActive();
    for (const TOrderCase& c : cases) {
        testsupport::ShowPage(window_.get(), QString::fromUtf8(c.page));
        Control(c.order.front())->setFocus(Qt::TabFocusReason);
        QStringList walked{FocusedControlName()};
        for (std::size_t i = 1; i < c.order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked.append(FocusedControlName());
        }
        QStringList expected;
        for (const char* name : c.order) expected.append(QString::fromUtf8(name));
        EXPECT_EQ(walked.join(QLatin1String(", ")).toStdString(), expected.join(QLatin1String(", ")).toStdString())
            << c.page;
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

TEST_F(WizardWindow, EnterOnTheTextPageAddsTheTypedLine) {
    ShowActive();
    testsupport::ShowPage(window_.get(), QStringLiteral("TabSheet4"));
    auto* edit = Control<QLineEdit>("Edit12");
    edit->setFocus();
    testsupport::Type(edit, QStringLiteral("Hallo Welt"));
    testsupport::Key(edit, Qt::Key_Return);
    testsupport::Type(edit, QStringLiteral("Zweite Zeile"));
    testsupport::Key(edit, Qt::Key_Enter);

    auto* lines = Control<ui::TListBox>("ListBox1");
    EXPECT_EQ(lines->texts(), QStringList({"Hallo Welt", "Zweite Zeile"}));
    EXPECT_TRUE(edit->text().isEmpty());
}

// Enter presses at most one button, while all three push buttons keep the
// look of a default button wherever the focus has been.
TEST_F(WizardWindow, EnterPressesOnlyWhatItShould) {
    struct TEnterCase {
        const char* page;
        const char* focus;
        int button1Presses;
        int bitBtn1Presses;
        int bitBtn8Presses;
    };
    const TEnterCase cases[] = {
        {"TabSheet4", "Edit24", 1, 0, 0},    // an edit passes Enter on to the default button
        {"TabSheet4", "ListBox1", 1, 0, 0},  // so does the list
        {"TabSheet4", "Memo5", 0, 0, 0},     // the help panel keeps it
        {"TabSheet4", "BitBtn1", 0, 1, 0},   // a focused push button presses itself
        {"TabSheet4", "Edit23", 1, 0, 0},    // and leaves the default button the default
        {"TabSheet4", "BitBtn8", 0, 0, 1},   {"TabSheet4", "Edit13", 1, 0, 0}, {"TabSheet4", "Button1", 1, 0, 0},
        {"TabSheet4", "Edit12", 1, 0, 0},    {"TabSheet1", "Edit1", 0, 0, 0},  // no default button elsewhere
        {"TabSheet1", "SpinEdit4", 0, 0, 0}, {"TabSheet3", "Edit3", 0, 0, 0},  {"TabSheet5", "Edit10", 0, 0, 0},
    };
    ShowActive();
    for (const TEnterCase& c : cases) {
        QSignalSpy button1(Control<QPushButton>("Button1"), &QPushButton::clicked);
        QSignalSpy bitBtn1(Control<QPushButton>("BitBtn1"), &QPushButton::clicked);
        QSignalSpy bitBtn8(Control<QPushButton>("BitBtn8"), &QPushButton::clicked);
        testsupport::ShowPage(window_.get(), QString::fromUtf8(c.page));
        Control(c.focus)->setFocus();
        testsupport::Key(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(button1.count(), c.button1Presses) << c.focus;
        EXPECT_EQ(bitBtn1.count(), c.bitBtn1Presses) << c.focus;
        EXPECT_EQ(bitBtn8.count(), c.bitBtn8Presses) << c.focus;
        for (const char* button : {"Button1", "BitBtn8", "BitBtn1"})
            EXPECT_TRUE(Control<QPushButton>(button)->isDefault()) << button << " after Enter on " << c.focus;
    }
}

TEST_F(WizardWindow, ClosingOnlyHidesAndKeepsTheContents) {
    window_->show();
    testsupport::Retype(Control("Edit5"), QStringLiteral("Willkommen"));
    QPointer<TForm3> alive(window_.get());
    EXPECT_TRUE(window_->close());
    QApplication::processEvents();
    ASSERT_FALSE(alive.isNull());
    EXPECT_FALSE(window_->isVisible());
    window_->show();
    EXPECT_EQ(Text("Edit5"), QStringLiteral("Willkommen"));
}

}  // namespace
