#include "ui/question_box.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "ui/error_display.h"

namespace ui {
namespace {

// A message box answers Escape with its "no" button when it has no cancel
// button; this one leaves it unanswered instead.
class TCancellableBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel))
            reject();
        else
            QMessageBox::keyPressEvent(event);
    }
    // The close box drops the question too.
    void closeEvent(QCloseEvent* event) override { QDialog::closeEvent(event); }
};

struct TYesNo {
    QPushButton* yes;
    QPushButton* no;
};

TYesNo AddYesNo(QMessageBox& box) {
    // A file name in the question may hold "<" or "&"; show it as it is.
    box.setTextFormat(Qt::PlainText);
    return {box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole),
            box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole)};
}

}  // namespace

bool AskYesNo(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), question, QMessageBox::NoButton, parent);
    const auto [yes, no] = AddYesNo(box);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

TAnswer AskYesNoOrCancel(QWidget* parent, const QString& question) {
    TCancellableBox box(QMessageBox::Question, ApplicationTitle(), question, QMessageBox::NoButton, parent);
    const auto [yes, no] = AddYesNo(box);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() == yes) return TAnswer::Yes;
    if (box.clickedButton() == no) return TAnswer::No;
    return TAnswer::Cancel;
}

}  // namespace ui
