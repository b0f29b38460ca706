// The finish command: the wizard's state becomes a page description, the
// page's lines go into the code view and into the page file, which the user
// may then look at in the browser.

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "core/page_file.h"
#include "core/page_generator.h"
#include "core/page_reader.h"
#include "core/site_navigation.h"
#include "ui/line_list_model.h"
#include "ui/list_box.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"
#include "wizard/missing_files.h"
#include "wizard/page_copy_offer.h"
#include "wizard/site_links_command.h"
#include "wizard/wizard_window.h"

namespace {

// Reading a list leaves its last entry selected; an empty list stays so.
void SelectLast(ui::TListBox* list) {
    ui::ListSelect(list, list->count() - 1);
}

// A file of that name that the program did not write, or that was changed
// by hand since: replacing it may lose someone's work. The file as this
// window last wrote it is its own without reading it back (about 40 M of
// 128 M instructions in a finish of 10,000 links, lines and images).
bool IsForeignFile(const QString& fileName, const std::optional<core::TFileStamp>& written) {
    const std::filesystem::path path = ui::ToPath(fileName);
    if (!core::IsExistingPath(path)) return false;
    if (written && core::FileStamp(path) == written) return false;
    try {
        return !core::ReadPage(core::ReadPossiblePage(path)).has_value();
    } catch (const core::TPageFileError&) {
        return true;
    }
}

bool MayReplace(QWidget* window, const QString& fileName, const std::optional<core::TFileStamp>& written) {
    return !IsForeignFile(fileName, written) ||
           ui::AskYesNo(window, QStringLiteral("Die Datei ") + fileName +
                                    QStringLiteral(" gibt es schon und ist keine Seite von HTML Tavirel (oder wurde "
                                                   "danach von Hand geändert). Ersetzen?"));
}

}  // namespace

core::TPageDescription TForm3::ReadPageDescription() {
    // The traces this leaves in the window are the program's, not the user's.
    const bool wasSaved = !HasUnsavedEntries();
    core::TPageDescription page = DescribePage();  // not const: returned without a copy
    // Walking the link list leaves the last link in the link fields, so the
    // next "Neuer Link" repeats it unless the user types anew.
    if (links_->Count() > 0) {
        Edit3->setText(links_->Text(links_->Count() - 1));
        Edit4->setText(ListBox5.last());
        unsaved_.Used({Edit3, Edit4});
    }
    for (ui::TListBox* list : {ListBox2, ListBox1, ListBox3}) SelectLast(list);
    if (wasSaved) MarkSaved();
    return page;
}

void TForm3::ForgetWrittenPage() {
    WrittenPage.clear();
    SpeedButton10->setEnabled(false);
    missingFiles_->Clear();
}

void TForm3::SpeedButton9Click() {  // "F     E     R     T     I     G"
    // A line being edited counts as typed (the flat button and Ctrl+S leave
    // the editor open); until this run has written its page there is
    // nothing to look at.
    ListBox1->EndEditing();
    ForgetWrittenPage();
    CodeLines->Show(nullptr);
    // Shared by the code view, the save and the missing-files check.
    const core::TPageDescription page = ReadPageDescription();
    const auto lines = std::make_shared<const core::TLineList>(core::GeneratePage(page));
    CodeLines->Show(lines);
    // The name as typed, not as the page's code page spells it.
    const QString fileName = PageFilePath();
    // The page put back is not written over at once; the entries stay unsaved.
    if (wizard::OfferPageCopy(this, fileName)) return;
    if (!MayReplace(this, fileName, writtenStamp_)) return;
    // Read before this page joins the folder's pages, as the box showed it.
    const bool linksChanged = !core::SameLinks(page.Links, linkBaseline_);
    if (linksChanged) ShowSiteLinksChoice();
    // Kept, the copy would stop the save; the user chose the current file.
    core::DiscardPageCopy(ui::ToPath(fileName));
    // A failed write reaches the error display; the code view keeps the page.
    core::SavePageFile(ui::ToPath(fileName), *lines);
    // Taken at once, so that what another program writes after it still
    // counts as foreign.
    writtenStamp_ = core::FileStamp(ui::ToPath(fileName));
    unsaved_.Written();  // text waiting for the next entry stays unsaved
    WrittenPage = QFileInfo(fileName).absoluteFilePath();
    SpeedButton10->setEnabled(true);
    // Beside the window, which is free at once; the check keeps the lines.
    missingFiles_->Start(PageFolder(), lines);
    if (!linksChanged) return;
    const std::vector<core::TLinkEntry> before = std::exchange(linkBaseline_, page.Links);
    if (SiteLinks->isChecked()) wizard::CarryLinksToSite(this, WrittenPage, before, page.Links);
}
