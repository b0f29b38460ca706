#include "ui/question_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "ui/error_display.h"

namespace ui {

bool AskYesNo(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), question, QMessageBox::NoButton, parent);
    // A file name in the question may hold "<" or "&"; show it as it is.
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace ui
