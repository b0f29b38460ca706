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

#include "core/folder_names.h"
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

// The page file as the finish finds it: what the save may replace, and
// whether that is a file the program did not write, or that was changed by
// hand since: replacing it may lose someone's work. The file as this window
// last wrote it is its own without reading it back (about 40 M of 128 M
// instructions in a finish of 10,000 links, lines and images).
struct TPageJudgement {
    core::TJudgedPage judged;
    bool foreign = false;
};

TPageJudgement JudgePageFile(const core::TPageFolder& folder, const std::string& name,
                             const std::optional<core::TFileStamp>& written) {
    const core::TJudgedPage there = core::LookAtPage(folder, name);
    if (!there || there == written) return {there, false};
    try {
        const core::TReadPageFile read = core::ReadPossiblePage(folder, name);
        return {read.stamp, !core::ReadPage(read.bytes).has_value()};
    } catch (const core::TPageFileError&) {
        return {there, true};
    }
}

bool MayReplace(QWidget* window, const QString& fileName, const TPageJudgement& judgement) {
    return !judgement.foreign ||
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
    Finish();
}

TFinishedPage TForm3::Finish() {
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
    // The name as typed, not as the page's code page spells it. Everything
    // from the judgement to the save goes through the folder opened here.
    const QString fileName = PageFilePath();
    const core::TPageFolder folder(ui::ToPath(PageFolder()));
    const std::string name = ui::ToPath(QFileInfo(fileName).fileName()).string();
    // The page put back is not written over at once; the entries stay unsaved.
    if (wizard::OfferPageCopy(this, folder, name)) return {};
    const TPageJudgement judgement = JudgePageFile(folder, name, writtenStamp_);
    if (!MayReplace(this, fileName, judgement)) return {};
    // Read before this page joins the folder's pages, once for the box and
    // the other pages' links.
    const bool linksChanged = !core::SameLinks(page.Links, linkBaseline_);
    const std::vector<core::TSiteFile> site =
        linksChanged ? core::ReadSiteFiles(folder, name) : std::vector<core::TSiteFile>();
    if (linksChanged) ShowSiteLinksChoice(site, judgement.judged && !judgement.foreign);
    // Kept, the copy would stop the save; the user chose the current file.
    core::DiscardPageCopy(folder, name);
    // A failed write reaches the error display; the code view keeps the page.
    writtenStamp_ = core::SavePage(folder, name, *lines, judgement.judged, ui::ToPath(fileName).string());
    unsaved_.Written();  // text waiting for the next entry stays unsaved
    WrittenPage = QFileInfo(fileName).absoluteFilePath();
    SpeedButton10->setEnabled(true);
    // Beside the window, which is free at once; the check keeps the lines.
    missingFiles_->Start(PageFolder(), lines);
    const TFinishedPage finished{WrittenPage, linksChanged};
    if (!linksChanged) return finished;
    const std::vector<core::TLinkEntry> before = std::exchange(linkBaseline_, page.Links);
    if (SiteLinks->isChecked()) wizard::CarryLinksToSite(this, folder, site, before, page.Links);
    return finished;
}
