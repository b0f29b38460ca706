#include "wizard/wizard_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <stdexcept>

#include "default_page.h"
#include "gui_test_support.h"
#include "wizard/missing_files.h"
#include "xdg_tree.h"

namespace wizardtest {

using testsupport::Find;

TWizardDriver::TWizardDriver() {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) throw std::runtime_error("wizard not shown");
}

void WaitForMissingFilesCheck(TForm3& wizard) {
    auto* check = wizard.findChild<wizard::TMissingFilesCheck*>();
    if (check == nullptr) throw std::runtime_error("no missing-files check");
    // The check's end arrives as an event, so waiting for events cannot
    // miss it.
    while (check->IsRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TWizardDriver::Finish() {
    Click("SpeedButton9");
    WaitForMissingFilesCheck(window);
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

void TWizardDriver::AddLink(const QString& text, const QString& target) {
    Type("Edit3", text);
    Type("Edit4", target);
    Click("SpeedButton2");
}

void TWizardDriver::AddLine(const QString& line) {
    Type("Edit12", line);
    Enter("Edit12");
}

void TWizardDriver::AddImage(const QString& fileName, const QString& caption) {
    Type("Edit10", fileName);
    Type("Edit11", caption);
    Click("SpeedButton3");
}

void TypicalRoad(TWizardDriver& w) {
    w.Page("TabSheet2");
    w.Type("Edit5", "Willkommen");
    w.Page("TabSheet3");
    w.AddLink("Home", "home.html");
    w.AddLink("Fotos", "fotos.html");
    w.Page("TabSheet4");
    w.AddLine("Hallo!");
    w.AddLine("Schön, dass Sie da sind.");
    w.Page("TabSheet5");
    w.AddImage("foto.jpg", "Urlaub");
}

void EveryOptionRoad(TWizardDriver& w) {
    w.Click("hgf");
    w.Type("Edit14", "#102030");
    w.Click("CSS");
    w.Type("Edit15", "#111111");
    w.Type("Edit16", "#222222");
    w.Type("Edit17", "#333333");
    w.Type("Edit18", "#444444");
    w.Type("SpinEdit4", "4");
    w.Type("SpinEdit5", "9");
    w.Page("TabSheet2");
    w.Type("Edit2", "Titel");
    w.Type("Edit5", "Alle Optionen");
    w.Type("Edit20", "#AA0000");
    w.Type("Edit21", "Verdana");
    w.Type("Edit8", "logo.png");
    w.Click("RadioButton5");
    w.Click("eck");
    w.Type("Edit9", "ecke.gif");
    w.Type("SpinEdit1", "40");
    w.Page("TabSheet3");
    w.Click("Dots");
    w.Type("Edit6", "punkt.gif");
    w.Click("lh");
    w.Type("Edit7", "zelle.gif");
    w.AddLink("Start", "start.html");
    w.AddLink("Kontakt", "kontakt.html");
    w.Page("TabSheet4");
    w.Type("Edit24", "#00AA00");
    w.Type("Edit25", "Courier");
    w.AddLine("Erste Zeile");
    w.AddLine("Zweite Zeile");
    w.Page("TabSheet5");
    w.Type("SpinEdit3", "2");
    w.AddImage("x.jpg", "Erstes Bild");
    w.AddImage("y.jpg", "Zweites Bild");
}

void UmlautRoad(TWizardDriver& w) {
    w.Page("TabSheet2");
    w.Type("Edit2", "Über uns € → <b>fett</b>");
    w.Type("Edit5", "Über uns € →");
    w.Page("TabSheet3");
    w.AddLink("Über uns →", "über-uns.html");
    w.Page("TabSheet4");
    w.AddLine("Preise in € → <b>fett</b>");
    w.AddLine("Über uns");
    w.Page("TabSheet5");
    w.AddImage("foto.jpg", "5 € → Über");
}

TLines DefaultPage() {
    return TLines(testpages::kDefaultPageLines.begin(), testpages::kDefaultPageLines.end());
}

std::string PageFileBytes(const TLines& lines) {
    TLines latin1;
    for (const std::string& line : lines) latin1.push_back(QString::fromStdString(line).toLatin1().toStdString());
    return testpages::PageFileBytes(latin1);
}

}  // namespace wizardtest
