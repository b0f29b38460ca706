#include "wizard/picture_name.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>

#include "core/file_copy.h"
#include "core/folder_names.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"
#include "wizard/picture_preview.h"

namespace wizard {
namespace {

// Folders compared as the disk has them, whatever links led to them; a
// folder that does not exist yet as written.
QString RealFolder(const QString& folder) {
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? QFileInfo(folder).absoluteFilePath() : real;
}

// As the name is spelled, as publishing judges it first; publishing then
// also leaves out what a link takes elsewhere (core/folder_names.h).
bool IsBesideThePage(const QString& relativeName) {
    return core::NamesInsideTheFolder(ui::ToPath(relativeName).string());
}

QString NumberedName(const QFileInfo& file, int number) {
    const QString suffix = file.suffix();
    return file.completeBaseName() + QLatin1Char('-') + QString::number(number) +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

// The name of the copy beside the page; empty when the user dropped it. A
// file of the same bytes already there is taken as it is; nothing there is
// replaced.
QString CopyBesideThePage(QWidget* window, const QString& file, const QString& pageFolder) {
    const QFileInfo source(file);
    for (int number = 1;; ++number) {
        const QString name = number == 1 ? source.fileName() : NumberedName(source, number);
        const QString target = QDir(pageFolder).filePath(name);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
            if (core::HaveSameBytes(ui::ToPath(file), ui::ToPath(target))) return name;
            continue;
        }
        if (number > 1 && !ui::AskYesNo(window, QStringLiteral("Im Ordner der Seite gibt es schon eine andere Datei ") +
                                                    source.fileName() + QStringLiteral(". Als ") + name +
                                                    QStringLiteral(" kopieren?")))
            return {};
        // Taken meanwhile: the next name.
        if (core::CopyToNewFile(ui::ToPath(file), ui::ToPath(target))) return name;
    }
}

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

QString RelativePictureName(const QString& pageFolder, const QString& file) {
    // Judged first by the paths as the user sees them: a subfolder that is
    // a link to elsewhere (bilder → ~/Fotos) is inside the page's folder.
    const QString seen =
        QDir(QFileInfo(pageFolder).absoluteFilePath()).relativeFilePath(QFileInfo(file).absoluteFilePath());
    if (IsBesideThePage(seen)) return seen;
    // Then as the disk has them, for a folder reached through a link the
    // other path did not take.
    const QFileInfo chosen(file);
    return QDir(RealFolder(pageFolder)).relativeFilePath(RealFolder(chosen.absolutePath()) + '/' + chosen.fileName());
}

// A name as the page must write it for the browser to find the file.
QString AsPageName(QString name) {
    // A '"' would end the attribute, '&' start a character reference
    // ("&reg" is "®"), and a browser reads a backslash as '/'.
    return name.replace(QLatin1Char('%'), QStringLiteral("%25"))
        .replace(QLatin1Char('#'), QStringLiteral("%23"))
        .replace(QLatin1Char('?'), QStringLiteral("%3F"))
        .replace(QLatin1Char('"'), QStringLiteral("%22"))
        .replace(QLatin1Char('&'), QStringLiteral("%26"))
        .replace(QLatin1Char('\\'), QStringLiteral("%5C"));
}

// The name the page gives the chosen file; empty when the user dropped it.
QString NameOnPage(QWidget* window, const QString& file, const QString& pageFolder) {
    const QString relative = RelativePictureName(pageFolder, file);
    if (IsBesideThePage(relative)) return AsPageName(relative);
    switch (ui::AskYesNoOrCancel(
        window, QStringLiteral("Das Bild liegt nicht im Ordner der Seite. In den Ordner der Seite kopieren?"))) {
        case ui::TAnswer::Yes:
            return AsPageName(CopyBesideThePage(window, file, pageFolder));
        case ui::TAnswer::No:
            return AsPageName(relative);
        case ui::TAnswer::Cancel:
            break;
    }
    return {};
}

void PickPicture(QWidget* window, const QString& pageFolder, QLineEdit* field) {
    const QFileInfo start(DialogStart(field->text(), pageFolder));
    QFileDialog dialog(window, QStringLiteral("Bild auswählen"),
                       start.isFile() ? start.absolutePath() : start.filePath(),
                       QStringLiteral("Bilder (*.gif *.jpg *.jpeg *.png *.webp *.svg);;Alle Dateien (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    AttachPreview(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().front();
    if (file.isEmpty()) return;
    const QString name = NameOnPage(window, file, pageFolder);
    if (!name.isEmpty()) field->setText(name);
}

}  // namespace wizard
