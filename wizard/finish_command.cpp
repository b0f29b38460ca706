// The finish command: the wizard's state becomes a page description, the
// page's lines go into the code view and into the page file.

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QRadioButton>
#include <QStringList>

#include "app/ui_services.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "wizard/code_view_model.h"
#include "wizard/wizard_window.h"

namespace {

std::string AnsiText(const QLineEdit* edit) {
    return ui::ToAnsi(edit->text());
}

// Converts the item's text where the variant holds it: text() would copy
// it once more through QVariant::toString, which on 30,000 entries shows in
// the finish time.
std::string AnsiItemText(const QListWidget* list, int row) {
    const QVariant text = list->item(row)->data(Qt::DisplayRole);
    if (text.metaType() == QMetaType::fromType<QString>())
        return ui::ToAnsi(*static_cast<const QString*>(text.constData()));
    return ui::ToAnsi(text.toString());
}

// Pairs each visible entry with the hidden entry at the same position.
template <typename Entry>
std::vector<Entry> ReadPairedList(const QListWidget* visible, const QStringList& hidden) {
    // count() goes through the list's model each time: asked once.
    const int count = visible->count();
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) entries.push_back(Entry{AnsiItemText(visible, i), ui::ToAnsi(hidden.at(i))});
    return entries;
}

std::vector<std::string> ReadLines(const QListWidget* list) {
    const int count = list->count();
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) lines.push_back(AnsiItemText(list, i));
    return lines;
}

// Reading a list leaves its last entry selected.
void SelectLast(QListWidget* list) {
    if (list->count() > 0) ui::ListSelect(list, list->count() - 1);
}

// The code view's model, which the page creates together with the view.
TCodeViewModel& CodeLines(const QListView* codeView) {
    return *static_cast<TCodeViewModel*>(codeView->model());
}

}  // namespace

core::TPageDescription TForm3::ReadPageDescription() {
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
    page.TextLines = ReadLines(ListBox1);
    page.TextColor = AnsiText(Edit24);
    page.TextFace = AnsiText(Edit25);
    page.Images = ReadPairedList<core::TImageEntry>(ListBox3, ListBox6);
    page.BreaksPerImage = SpinEdit3->value();
    page.FileBaseName = AnsiText(Edit19);
    page.LongExtension = html->isChecked();

    // Walking the link list leaves the last link in the link fields, so the
    // next "Neuer Link" repeats it unless the user types anew.
    if (ListBox2->count() > 0) {
        Edit3->setText(ListBox2->item(ListBox2->count() - 1)->text());
        Edit4->setText(ListBox5.last());
    }
    SelectLast(ListBox2);
    SelectLast(ListBox1);
    SelectLast(ListBox3);
    return page;
}

void TForm3::SpeedButton9Click() {  // "F     E     R     T     I     G"
    CodeLines(ListBox4).ShowLines({});
    const core::TPageDescription page = ReadPageDescription();
    // The page's lines move into the code view and are saved from there: a
    // long page is not copied.
    CodeLines(ListBox4).ShowLines(core::GeneratePage(page));
    // A failed write reaches the error display; the code view keeps the page.
    core::SavePageLines(core::PageFileName(page), CodeLines(ListBox4).Lines());
}
