#pragma once

// A small modal dialog that edits the two texts of one list entry, each in a
// captioned field, with "OK" and "Abbrechen".

#include <QDialog>
#include <QString>

class QGridLayout;
class QLineEdit;

namespace ui {

class TEntryDialog : public QDialog {
public:
    TEntryDialog(QWidget* parent, const QString& caption, const QString& firstCaption, const QString& secondCaption);

    // Shows the dialog with these texts, the first field focused and its
    // text selected; true when the user kept them, changed or not.
    bool Ask(QString& first, QString& second);

    QLineEdit* First = nullptr;
    QLineEdit* Second = nullptr;
    // Caption and field of each text, row 0 and row 1 at columns 0 and 1; a
    // column 2 is free for a button beside a field.
    QGridLayout* Fields = nullptr;
};

}  // namespace ui
