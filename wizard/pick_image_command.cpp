// The "…" buttons: a picture chosen in the file dialog goes into its field
// as the page names it (see picture_name.h).

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>

#include "wizard/picture_name.h"
#include "wizard/wizard_window.h"

namespace {

// Where the dialog opens: on the file the field names if it exists, so
// that the dialog shows its folder with it selected, else in the page's
// folder.
QString DialogStart(const QString& field, const QString& pageFolder) {
    if (!field.isEmpty()) {
        const QString file = QDir(pageFolder).filePath(QUrl::fromPercentEncoding(field.toUtf8()));
        if (QFileInfo(file).isFile()) return file;
    }
    return pageFolder;
}

}  // namespace

void TForm3::PickImage(QLineEdit* field) {
    const QString pageFolder = PageFolder();
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("Bild auswählen"), DialogStart(field->text(), pageFolder),
                                     QStringLiteral("Bilder (*.gif *.jpg *.jpeg *.png *.webp *.svg);;Alle Dateien (*)"),
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (file.isEmpty()) return;
    const QString name = wizard::NameOnPage(this, file, pageFolder);
    if (!name.isEmpty()) field->setText(name);
}

void TForm3::SpeedButton12Click() {  // "…" beside the background image
    PickImage(Edit1);
}

void TForm3::SpeedButton13Click() {  // "…" beside the heading image
    PickImage(Edit8);
}

void TForm3::SpeedButton14Click() {  // "…" beside the corner image
    PickImage(Edit9);
}

void TForm3::SpeedButton15Click() {  // "…" beside the dot image
    PickImage(Edit6);
}

void TForm3::SpeedButton16Click() {  // "…" beside the link background
    PickImage(Edit7);
}

void TForm3::SpeedButton17Click() {  // "…" beside the inline image
    PickImage(Edit13);
}

void TForm3::SpeedButton18Click() {  // "…" beside the image column's image
    PickImage(Edit10);
}
