#include "wizard/wizard_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <stdexcept>

#include "default_page.h"
#include "gui_test_support.h"
#include "xdg_tree.h"

namespace wizardtest {

using testsupport::Find;

TWizardDriver::TWizardDriver() {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) throw std::runtime_error("wizard not shown");
}

void TWizardDriver::Page(const char* tabSheet) {
    testsupport::ShowPage(&window, tabSheet);
}

void TWizardDriver::Type(const char* edit, const QString& text) {
    testsupport::Retype(Find(&window, edit), text);
}

void TWizardDriver::Click(const char* control) {
    testsupport::Click(Find(&window, control));
}

void TWizardDriver::Enter(const char* control) {
    QWidget* widget = Find(&window, control);
    widget->setFocus();
    testsupport::Key(widget, Qt::Key_Return);
}

void TWizardDriver::Paste(const char* control, const QString& text) {
    QWidget* widget = Find(&window, control);
    widget->setFocus();
    testsupport::Key(widget, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(text);
    testsupport::Key(widget, Qt::Key_V, Qt::ControlModifier);
}

void TWizardDriver::SelectEntry(const char* list, int row) {
    auto* box = Find<QListView>(&window, list);
    const QModelIndex entry = box->model()->index(row, 0);
    box->scrollTo(entry);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, box->visualRect(entry).center());
}

// Reads what the list shows through its model, as a screen reader would.
TLines TWizardDriver::Entries(const char* list) {
    const QAbstractItemModel* rows = Find<QListView>(&window, list)->model();
    TLines entries;
    for (int i = 0; i < rows->rowCount(); ++i) entries.push_back(rows->index(i, 0).data().toString().toStdString());
    return entries;
}

QList<QUrl> TWizardDriver::ViewInBrowser() {
    // With no web browser known, the URL goes to the desktop's opener, where
    // the catcher takes it.
    const testsupport::TXdgTree noBrowser;
    const testsupport::TUrlCatcher catcher;
    // A URL the catcher does not take ends in the error display.
    const testsupport::TMessageBoxSeen seen = testsupport::WithMessageBox([this] { Click("SpeedButton10"); });
    if (seen.shown) throw std::runtime_error("message instead of a browser: " + seen.text.toStdString());
    return catcher.opened;
}

int TWizardDriver::Selected(const char* list) {
    const QModelIndexList selected = Find<QListView>(&window, list)->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

QString TWizardDriver::Text(const char* edit) {
    return Find<QLineEdit>(&window, edit)->text();
}

TLines DefaultPage() {
    return TLines(testpages::kDefaultPageLines.begin(), testpages::kDefaultPageLines.end());
}

std::string PageFileBytes(const TLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += QString::fromStdString(line).toLatin1().toStdString() + "\r\n";
    return bytes;
}

}  // namespace wizardtest
