// The finish command: the wizard's state becomes a page description, the
// page's lines go into the code view and into the page file, which the user
// may then look at in the browser.

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QStringListModel>
#include <QToolButton>
#include <filesystem>

#include "core/page_file.h"
#include "core/page_generator.h"
#include "core/page_reader.h"
#include "ui/elided_label.h"
#include "ui/list_box.h"
#include "ui/question_box.h"
#include "ui/spin_edit.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"

namespace {

std::string AnsiText(const QLineEdit* edit) {
    return ui::ToAnsi(edit->text());
}

// Pairs each visible entry with the hidden entry at the same position.
template <typename Entry>
std::vector<Entry> ReadPairedList(const ui::TListBox* visible, const QStringList& hidden) {
    std::vector<std::string> shown = ui::ListAnsiTexts(visible);
    std::vector<Entry> entries;
    entries.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        entries.push_back(Entry{std::move(shown[i]), ui::ToAnsi(hidden.at(static_cast<qsizetype>(i)))});
    return entries;
}

// Reading a list leaves its last entry selected; an empty list stays so.
void SelectLast(ui::TListBox* list) {
    ui::ListSelect(list, list->count() - 1);
}

void ShowCode(QStringListModel* codeView, const core::TLineList& lines) {
    QStringList code;
    code.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string_view line : lines) code.append(ui::FromAnsi(line));
    codeView->setStringList(code);
}

// A file of that name that the program did not write, or that was changed
// by hand since: replacing it may lose someone's work.
bool IsForeignFile(const QString& fileName) {
    const std::filesystem::path path = ui::ToPath(fileName);
    if (!core::IsExistingPath(path)) return false;
    try {
        return !core::ReadPage(core::ReadPossiblePage(path)).has_value();
    } catch (const core::TPageFileError&) {
        return true;
    }
}

bool MayReplace(QWidget* window, const QString& fileName) {
    return !IsForeignFile(fileName) ||
           ui::AskYesNo(window, QStringLiteral("Die Datei ") + fileName +
                                    QStringLiteral(" gibt es schon und ist keine Seite von HTML Tavirel (oder wurde "
                                                   "danach von Hand geändert). Ersetzen?"));
}

}  // namespace

core::TPageDescription TForm3::DescribePage() const {
    core::TPageDescription page;
    page.Title = AnsiText(Edit2);
    page.HeadingText = AnsiText(Edit5);
    page.HeadingSizeIndex = HeadingSizeChoice;
    page.HeadingColor = AnsiText(Edit20);
    page.HeadingFace = AnsiText(Edit21);
    page.HeadingImage = AnsiText(Edit8);
    page.CornerImageOn = eck->isChecked();
    page.CornerImage = AnsiText(Edit9);
    page.CornerHeight = SpinEdit1->value();
    page.BackgroundIsImage = hgb->isChecked();
    page.BackgroundImage = AnsiText(Edit1);
    page.BackgroundColor = AnsiText(Edit14);
    page.MarginLeft = SpinEdit4->value();
    page.MarginTop = SpinEdit5->value();
    page.UseStyleSheet = CSS->isChecked();
    page.BoldLinks = fett->isChecked();
    page.LinkColor = AnsiText(Edit15);
    page.VisitedColor = AnsiText(Edit16);
    page.HoverColor = AnsiText(Edit17);
    page.ActiveColor = AnsiText(Edit18);
    page.Links = ReadPairedList<core::TLinkEntry>(ListBox2, ListBox5);
    page.UseDots = Dots->isChecked();
    page.DotImage = AnsiText(Edit6);
    page.UseLinkBackground = lh->isChecked();
    page.LinkBackgroundImage = AnsiText(Edit7);
    page.TextLines = ui::ListAnsiTexts(ListBox1);
    page.TextColor = AnsiText(Edit24);
    page.TextFace = AnsiText(Edit25);
    page.Images = ReadPairedList<core::TImageEntry>(ListBox3, ListBox6);
    page.BreaksPerImage = SpinEdit3->value();
    page.FileBaseName = AnsiText(Edit19);
    page.LongExtension = html->isChecked();
    return page;
}

core::TPageDescription TForm3::ReadPageDescription() {
    const core::TPageDescription page = DescribePage();
    // Walking the link list leaves the last link in the link fields, so the
    // next "Neuer Link" repeats it unless the user types anew.
    if (ListBox2->count() > 0) {
        Edit3->setText(ListBox2->texts().last());
        Edit4->setText(ListBox5.last());
    }
    SelectLast(ListBox2);
    SelectLast(ListBox1);
    SelectLast(ListBox3);
    return page;
}

void TForm3::SpeedButton9Click() {  // "F     E     R     T     I     G"
    // A line being edited counts as typed: the flat button and Ctrl+S leave
    // the editor open.
    ListBox1->EndEditing();
    // Until this run has written its page there is nothing to look at.
    WrittenPage.clear();
    SpeedButton10->setEnabled(false);
    Label21->SetLine(QString(), QString());
    CodeLines->setStringList({});
    // The traces this leaves in the window are the program's, not the user's.
    const bool wasSaved = !HasUnsavedEntries();
    const core::TPageDescription page = ReadPageDescription();
    if (wasSaved) MarkSaved();
    const core::TLineList lines = core::GeneratePage(page);
    ShowCode(CodeLines, lines);
    // The name as typed, not as the page's code page spells it.
    const QString fileName = PageFilePath();
    if (!MayReplace(this, fileName)) return;
    // A failed write reaches the error display; the code view keeps the page.
    core::SavePageFile(ui::ToPath(fileName), lines);
    MarkSaved();
    WrittenPage = QFileInfo(fileName).absoluteFilePath();
    SpeedButton10->setEnabled(true);
    ShowMissingFiles(lines);
}
