// The "…" buttons beside the seven image fields, each opening the file
// dialog for its field. They sit in room the pages leave free; beside Edit6
// and Edit13 there is none, so theirs stand above the field's right end.

#include <QLineEdit>
#include <QToolButton>

#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

namespace {

QToolButton* AddPicker(QLineEdit* field, const QString& name, int left, int top) {
    const QString caption = QStringLiteral("Bild auswählen");
    QToolButton* picker =
        pagecontrols::AddFlatButton(field->parentWidget(), name, QStringLiteral("…"), {left, top, 21, 21});
    picker->setToolTip(caption);
    picker->setAccessibleName(caption);
    return picker;
}

}  // namespace

void TForm3::CreateImagePickers() {
    SpeedButton12 = AddPicker(Edit1, QStringLiteral("SpeedButton12"), 189, 160);
    SpeedButton13 = AddPicker(Edit8, QStringLiteral("SpeedButton13"), 453, 96);
    SpeedButton14 = AddPicker(Edit9, QStringLiteral("SpeedButton14"), 453, 168);
    SpeedButton15 = AddPicker(Edit6, QStringLiteral("SpeedButton15"), 228, 273);
    SpeedButton16 = AddPicker(Edit7, QStringLiteral("SpeedButton16"), 453, 112);
    SpeedButton17 = AddPicker(Edit13, QStringLiteral("SpeedButton17"), 364, 90);
    SpeedButton18 = AddPicker(Edit10, QStringLiteral("SpeedButton18"), 141, 200);
}
