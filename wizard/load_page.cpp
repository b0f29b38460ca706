// The way back into the wizard: a page description read from a page file
// fills the controls, so that finishing writes that page again.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "ui/list_box.h"
#include "ui/spin_edit.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"

namespace {

void Show(QLineEdit* edit, const std::string& text) {
    edit->setText(ui::FromAnsi(text));
}

void Show(ui::TSpinEdit* spin, std::int32_t value) {
    spin->setText(QString::number(value));
}

}  // namespace

void TForm3::LoadPageDescription(const core::TPageDescription& page) {
    Show(Edit2, page.Title);
    Show(Edit5, page.HeadingText);
    QRadioButton* const sizes[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6};
    if (page.HeadingSizeIndex >= 1 && page.HeadingSizeIndex <= 6) {
        sizes[page.HeadingSizeIndex - 1]->setChecked(true);
        HeadingSizeChoice = page.HeadingSizeIndex;
    }
    Show(Edit20, page.HeadingColor);
    Show(Edit21, page.HeadingFace);
    Show(Edit8, page.HeadingImage);
    eck->setChecked(page.CornerImageOn);
    Show(Edit9, page.CornerImage);
    Show(SpinEdit1, page.CornerHeight);
    (page.BackgroundIsImage ? hgb : hgf)->setChecked(true);
    Show(Edit1, page.BackgroundImage);
    Show(Edit14, page.BackgroundColor);
    Show(SpinEdit4, page.MarginLeft);
    Show(SpinEdit5, page.MarginTop);
    CSS->setChecked(page.UseStyleSheet);
    fett->setChecked(page.BoldLinks);
    Show(Edit15, page.LinkColor);
    Show(Edit16, page.VisitedColor);
    Show(Edit17, page.HoverColor);
    Show(Edit18, page.ActiveColor);
    for (const core::TLinkEntry& link : page.Links) {
        ui::ListAppend(ListBox2, ui::FromAnsi(link.Text));
        ListBox5.append(ui::FromAnsi(link.Target));
    }
    Dots->setChecked(page.UseDots);
    Show(Edit6, page.DotImage);
    lh->setChecked(page.UseLinkBackground);
    Show(Edit7, page.LinkBackgroundImage);
    for (const std::string& line : page.TextLines) ui::ListAppend(ListBox1, ui::FromAnsi(line));
    Show(Edit24, page.TextColor);
    Show(Edit25, page.TextFace);
    for (const core::TImageEntry& image : page.Images) {
        ui::ListAppend(ListBox3, ui::FromAnsi(image.FileName));
        ListBox6.append(ui::FromAnsi(image.Caption));
    }
    Show(SpinEdit3, page.BreaksPerImage);
    Show(Edit19, page.FileBaseName);
    (page.LongExtension ? html : htm)->setChecked(true);
}
