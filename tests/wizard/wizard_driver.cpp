#include "wizard/wizard_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QStringList>
#include <QTest>
#include <stdexcept>
#include <utility>

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

void TWizardDriver::Do(std::initializer_list<const char*> steps) {
    for (const char* step : steps) {
        const QByteArray text(step);
        const qsizetype equals = text.indexOf('=');
        if (equals >= 0)
            Type(text.left(equals).constData(), QString::fromUtf8(text.mid(equals + 1)));
        else if (text.startsWith("TabSheet"))
            Page(step);
        else
            Click(step);
    }
}

std::function<void(TWizardDriver&)> Steps(std::vector<const char*> steps) {
    return [steps = std::move(steps)](TWizardDriver& w) {
        for (const char* step : steps) w.Do({step});
    };
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

namespace {

using TPairs = std::vector<std::pair<QString, QString>>;

// On the pages of the lists, the links, the text lines and the images.
void AddEntries(TWizardDriver& w, const TPairs& links, const QStringList& lines, const TPairs& images) {
    w.Page("TabSheet3");
    for (const auto& [text, target] : links) w.AddLink(text, target);
    w.Page("TabSheet4");
    for (const QString& line : lines) w.AddLine(line);
    w.Page("TabSheet5");
    for (const auto& [file, caption] : images) w.AddImage(file, caption);
}

}  // namespace

void TypicalRoad(TWizardDriver& w) {
    w.Do({"TabSheet2", "Edit5=Willkommen"});
    AddEntries(w, {{"Home", "home.html"}, {"Fotos", "fotos.html"}}, {"Hallo!", "Schön, dass Sie da sind."},
               {{"foto.jpg", "Urlaub"}});
}

void EveryOptionRoad(TWizardDriver& w) {
    w.Do({"hgf", "Edit14=#102030", "CSS", "Edit15=#111111", "Edit16=#222222", "Edit17=#333333", "Edit18=#444444",
          "SpinEdit4=4", "SpinEdit5=9"});
    w.Do({"TabSheet2", "Edit2=Titel", "Edit5=Alle Optionen", "Edit20=#AA0000", "Edit21=Verdana", "Edit8=logo.png",
          "RadioButton5", "eck", "Edit9=ecke.gif", "SpinEdit1=40"});
    w.Do({"TabSheet3", "Dots", "Edit6=punkt.gif", "lh", "Edit7=zelle.gif"});
    w.AddLink("Start", "start.html");
    w.AddLink("Kontakt", "kontakt.html");
    w.Do({"TabSheet4", "Edit24=#00AA00", "Edit25=Courier"});
    w.AddLine("Erste Zeile");
    w.AddLine("Zweite Zeile");
    w.Do({"TabSheet5", "SpinEdit3=2"});
    w.AddImage("x.jpg", "Erstes Bild");
    w.AddImage("y.jpg", "Zweites Bild");
}

void UmlautRoad(TWizardDriver& w) {
    w.Do({"TabSheet2", "Edit2=Über uns € → <b>fett</b>", "Edit5=Über uns € →"});
    AddEntries(w, {{"Über uns →", "über-uns.html"}}, {"Preise in € → <b>fett</b>", "Über uns"},
               {{"foto.jpg", "5 € → Über"}});
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
