#include "wizard/accessible_names.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <cstdlib>

#include "app/ui_services.h"
#include "wizard/wizard_window.h"

namespace {

// Captions stand 16 pixels above their control, flush with its left edge.
constexpr int kCaptionDistance = 16;
constexpr int kCaptionSlack = 4;

bool IsInputControl(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr;
}

QString WithoutTrailingColon(QString caption) {
    if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
    return caption.trimmed();
}

void NameAfter(QWidget* control, const QString& caption) {
    control->setAccessibleName(WithoutTrailingColon(caption));
}

bool StandsAbove(const QLabel* caption, const QWidget* control) {
    const int rise = control->y() - caption->y();
    return std::abs(caption->x() - control->x()) <= kCaptionSlack && rise >= kCaptionDistance - kCaptionSlack &&
           rise <= kCaptionDistance + kCaptionSlack;
}

// Pairs each caption with the input control right below it, in the page and
// in its group boxes. The label becomes the control's buddy as well, which is
// how assistive tools find a caption on their own.
void NameByCaptionsAbove(QWidget* container) {
    const QList<QLabel*> captions = container->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    const QList<QWidget*> controls = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        if (!IsInputControl(control)) {
            if (control->inherits("QGroupBox")) NameByCaptionsAbove(control);
            continue;
        }
        for (QLabel* caption : captions) {
            if (caption->buddy() == nullptr && StandsAbove(caption, control)) {
                caption->setBuddy(control);
                NameAfter(control, caption->text());
                break;
            }
        }
    }
}

}  // namespace

void NameWizardControls(TForm3& wizard) {
    QTabWidget* tabs = wizard.PageControl1;
    for (int index = 0; index < tabs->count(); ++index) NameByCaptionsAbove(tabs->widget(index));

    // A help panel speaks for its whole page.
    for (QPlainTextEdit* panel : {wizard.Memo1, wizard.Memo2, wizard.Memo3, wizard.Memo5, wizard.Memo4})
        panel->setAccessibleName(tabs->tabText(tabs->indexOf(panel->parentWidget())));

    // Controls without a caption above them.
    NameAfter(wizard.Edit6, wizard.Dots->text());
    wizard.Edit12->setAccessibleName(QStringLiteral("Textzeile"));
    wizard.ListBox1->setAccessibleName(tabs->tabText(tabs->indexOf(wizard.TabSheet4)));
    wizard.ListBox4->setAccessibleName(tabs->tabText(tabs->indexOf(wizard.TabSheet7)));
}
