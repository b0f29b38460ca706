// The one mapping between the wizard's controls and a page description,
// both ways, in the order of the description's fields: the finish and the
// preview read the controls, opening a page sets them. A new field is one
// line in EachField.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <type_traits>

#include "ui/list_box.h"
#include "ui/spin_edit.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"

namespace {

// Two radio buttons for one yes-or-no field.
struct TEitherOr {
    QRadioButton* yes;
    QRadioButton* no;
};

// The heading size buttons 1 to 6 and the size chosen with them.
template <typename Choice>
struct THeadingSize {
    std::array<QRadioButton*, 6> buttons;
    Choice& choice;
};

// Controls → description.
struct TRead {
    void operator()(const QLineEdit* edit, std::string& field) const { field = ui::ToAnsi(edit->text()); }
    void operator()(const ui::TSpinEdit* spin, std::int32_t& field) const { field = spin->value(); }
    void operator()(const QCheckBox* box, bool& field) const { field = box->isChecked(); }
    void operator()(TEitherOr buttons, bool& field) const { field = buttons.yes->isChecked(); }
    void operator()(THeadingSize<const std::int32_t> size, std::int32_t& field) const { field = size.choice; }
    void operator()(const ui::TListBox* list, std::vector<std::string>& field) const {
        field = ui::ListAnsiTexts(list);
    }
    // Each visible entry with the hidden entry at the same place.
    template <typename Entry>
    void operator()(const wizard::TPairedList& list, std::vector<Entry>& field) const {
        std::vector<std::string> shown = ui::ListAnsiTexts(list.Shown());
        field.clear();
        field.reserve(shown.size());
        for (std::size_t i = 0; i < shown.size(); ++i)
            field.push_back(Entry{std::move(shown[i]), ui::ToAnsi(list.Partners().at(static_cast<qsizetype>(i)))});
    }
};

// Description → controls, of a fresh window.
struct TShow {
    void operator()(QLineEdit* edit, const std::string& field) const { edit->setText(ui::FromAnsi(field)); }
    void operator()(ui::TSpinEdit* spin, std::int32_t field) const { spin->setText(QString::number(field)); }
    void operator()(QCheckBox* box, bool field) const { box->setChecked(field); }
    void operator()(TEitherOr buttons, bool field) const { (field ? buttons.yes : buttons.no)->setChecked(true); }
    void operator()(THeadingSize<std::int32_t> size, std::int32_t field) const {
        if (field < 1 || field > 6) return;
        size.buttons[static_cast<std::size_t>(field - 1)]->setChecked(true);
        size.choice = field;
    }
    void operator()(ui::TListBox* list, const std::vector<std::string>& field) const {
        for (const std::string& line : field) ui::ListAppend(list, ui::FromAnsi(line));
    }
    template <typename Entry>
    void operator()(wizard::TPairedList& list, const std::vector<Entry>& field) const {
        for (const auto& [text, partner] : field) list.Add(ui::FromAnsi(text), ui::FromAnsi(partner));
    }
};

// Every field of the description with its control, in the description's
// order; the same list read one way or the other.
template <typename Window, typename Lists, typename Page, typename Map>
void EachField(Window& w, Lists& links, Lists& images, Page& page, Map map) {
    using Choice = std::remove_reference_t<decltype((w.HeadingSizeChoice))>;
    map(w.Edit2, page.Title);
    map(w.Edit5, page.HeadingText);
    map(THeadingSize<Choice>{{w.RadioButton1, w.RadioButton2, w.RadioButton3, w.RadioButton4, w.RadioButton5,
                              w.RadioButton6},
                             w.HeadingSizeChoice},
        page.HeadingSizeIndex);
    map(w.Edit20, page.HeadingColor);
    map(w.Edit21, page.HeadingFace);
    map(w.Edit8, page.HeadingImage);
    map(w.eck, page.CornerImageOn);
    map(w.Edit9, page.CornerImage);
    map(w.SpinEdit1, page.CornerHeight);
    map(TEitherOr{w.hgb, w.hgf}, page.BackgroundIsImage);
    map(w.Edit1, page.BackgroundImage);
    map(w.Edit14, page.BackgroundColor);
    map(w.SpinEdit4, page.MarginLeft);
    map(w.SpinEdit5, page.MarginTop);
    map(w.CSS, page.UseStyleSheet);
    map(w.fett, page.BoldLinks);
    map(w.Edit15, page.LinkColor);
    map(w.Edit16, page.VisitedColor);
    map(w.Edit17, page.HoverColor);
    map(w.Edit18, page.ActiveColor);
    map(links, page.Links);
    map(w.Dots, page.UseDots);
    map(w.Edit6, page.DotImage);
    map(w.lh, page.UseLinkBackground);
    map(w.Edit7, page.LinkBackgroundImage);
    map(w.ListBox1, page.TextLines);
    map(w.Edit24, page.TextColor);
    map(w.Edit25, page.TextFace);
    map(images, page.Images);
    map(w.SpinEdit3, page.BreaksPerImage);
    map(w.Edit19, page.FileBaseName);
    map(TEitherOr{w.html, w.htm}, page.LongExtension);
    map(w.handy, page.ForPhones);
    map(w.alttext, page.ImageDescriptions);
}

}  // namespace

core::TPageDescription TForm3::DescribePage() const {
    core::TPageDescription page;
    EachField(*this, *links_, *images_, page, TRead{});
    return page;
}

void TForm3::LoadPageDescription(const core::TPageDescription& page) {
    EachField(*this, *links_, *images_, page, TShow{});
    linkBaseline_ = page.Links;
}
