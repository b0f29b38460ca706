// What a screen reader says: every control the user can reach or change has
// a name, taken from the caption a sighted user reads beside it.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QListView>
#include <QStringList>
#include <QTabWidget>
#include <QToolButton>
#include <memory>
#include <string>

#include "app/start_window.h"
#include "gui_test_support.h"
#include "ui/list_box.h"
#include "wizard/wizard_window.h"

using testsupport::Find;
using testsupport::ShowPage;

namespace {

bool IsControlRole(QAccessible::Role role) {
    switch (role) {
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::Tree:
        case QAccessible::ComboBox:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::PushButton:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::Slider:
        case QAccessible::PageTab:
            return true;
        default:
            return false;
    }
}

QString Describe(QAccessibleInterface* node) {
    const QObject* object = node->object();
    const QString name = object != nullptr ? object->objectName() : QString();
    return QStringLiteral("role 0x%1 %2")
        .arg(static_cast<int>(node->role()), 0, 16)
        .arg(name.isEmpty() ? QStringLiteral("(unnamed object)") : name);
}

// Walks the accessible tree below node; a list's rows are its content, not
// controls, so the walk does not enter lists.
void CollectNameless(QAccessibleInterface* node, QStringList& nameless, int depth = 0) {
    if (node == nullptr || depth > 40 || node->state().invisible) return;
    const QAccessible::Role role = node->role();
    if (IsControlRole(role) && node->text(QAccessible::Name).trimmed().isEmpty()) nameless << Describe(node);
    if (role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree) return;
    for (int i = 0; i < node->childCount(); ++i) CollectNameless(node->child(i), nameless, depth + 1);
}

// The nameless controls of a window, one per line; empty when all is well.
std::string NamelessControls(QWidget* window) {
    QStringList nameless;
    CollectNameless(QAccessible::queryAccessibleInterface(window), nameless);
    return nameless.join(QLatin1Char('\n')).toStdString();
}

std::string AccessibleName(QWidget* control) {
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(control);
    return node != nullptr ? node->text(QAccessible::Name).toStdString() : "<no interface>";
}

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        start_ = std::make_unique<TForm1>();
        wizard_ = start_->Wizard();
        start_->show();
        wizard_->show();
    }

    std::unique_ptr<TForm1> start_;
    TForm3* wizard_ = nullptr;
};

TEST_F(Accessibility, NoControlOfTheStartWindowIsNameless) {
    EXPECT_EQ(NamelessControls(start_.get()), "");
    EXPECT_EQ(AccessibleName(Find(start_.get(), QStringLiteral("SpeedButton2"))), "Start");
    EXPECT_EQ(AccessibleName(Find(start_.get(), QStringLiteral("SpeedButton3"))), "Ende");
}

TEST_F(Accessibility, NoControlOnAnyWizardPageIsNameless) {
    const QTabWidget* tabs = wizard_->PageControl1;
    ASSERT_EQ(tabs->count(), 6);
    for (int index = 0; index < tabs->count(); ++index) {
        const QString page = tabs->widget(index)->objectName();
        ShowPage(wizard_, page);
        EXPECT_EQ(NamelessControls(wizard_), "") << page.toStdString();
    }
}

TEST_F(Accessibility, ControlsAreCalledByTheirCaptions) {
    const struct {
        const char* control;
        const char* name;
    } cases[] = {
        {"Edit1", "Dateiname"},
        {"Edit14", "Farbe (RRGGBB)"},
        {"Edit19", "Dateiname"},  // inside the "Website" group
        {"Edit17", "Maus überm Link"},
        {"SpinEdit4", "Horizontal"},
        {"SpinEdit5", "Vertikal"},
        {"CSS", "CSS Style sheets verwenden"},
        {"html", "Html"},
        {"Memo1", "Allgemeine Einstellungen"},
        {"Edit2", "Überschrift1"},
        {"Edit9", "Bild"},
        {"SpinEdit1", "Minimale Höhe"},
        {"RadioButton3", "3"},
        {"Memo2", "Überschrift"},
        {"ListBox2", "Link"},
        {"Edit4", "Verweisziel"},
        {"Edit6", "Dots"},
        {"SpinEdit2", "Minimalbreite"},
        {"SpeedButton2", "Neuer Link"},
        {"ListBox1", "Text"},
        {"Edit12", "Textzeile"},
        {"Edit13", "Bild"},
        {"Edit22", "Verweistext"},
        {"Button1", "Hinzufügen"},
        {"BitBtn8", "Einfügen"},
        {"m", "Mittig"},
        {"Memo5", "Text"},
        {"ListBox3", "Bild"},
        {"Edit11", "Bildtext"},
        {"SpinEdit3", "Zeilenumbrüche nach jedem Bild"},
        {"Memo4", "Bilder"},
        {"ListBox4", "HTML Code"},
    };
    for (const auto& c : cases) {
        QWidget* control = Find(wizard_, QString::fromUtf8(c.control));
        testsupport::ShowPageHolding(control);
        EXPECT_EQ(AccessibleName(control), c.name) << c.control;
    }
    EXPECT_EQ(AccessibleName(wizard_->SpeedButton9), "F     E     R     T     I     G");
}

// A screen reader reads the generated page row by row, as the code view
// shows it.
TEST_F(Accessibility, CodeViewRowsSpeakThePageLines) {
    const testsupport::TWorkDir workDir;
    wizard_->SpeedButton9->click();
    ShowPage(wizard_, QStringLiteral("TabSheet7"));

    QAccessibleInterface* codeView = QAccessible::queryAccessibleInterface(wizard_->ListBox4);
    ASSERT_NE(codeView, nullptr);
    EXPECT_EQ(codeView->role(), QAccessible::List);
    ASSERT_EQ(codeView->childCount(), 16);
    const struct {
        int row;
        const char* line;
    } rows[] = {
        {0, "<html>"},
        {1, "<head><title>Neue Seite</title>"},
        {9, "<font size=\"5\" color=\"#000000\" face=\"Arial\">Neue Seite</font></b>"},
        {15, "</html>"},
    };
    for (const auto& r : rows) {
        QAccessibleInterface* row = codeView->child(r.row);
        ASSERT_NE(row, nullptr) << r.row;
        EXPECT_EQ(row->text(QAccessible::Name).toStdString(), r.line) << r.row;
    }
}

}  // namespace
