#include "publishing/page_to_send.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string_view>

#include "core/page_generator.h"
#include "ui/question_box.h"
#include "wizard/wizard_window.h"

namespace {

const QString kChangedSinceFinish =
    QStringLiteral("Die Seite wurde seit dem letzten Fertigstellen geändert. Erst fertigstellen?");

QByteArray PageBytesNow(const TForm3& wizard) {
    const core::TLineList lines = core::GeneratePage(wizard.DescribePage());
    const std::string_view bytes = lines.FileBytes();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// What is on disk under this name; nothing for a file that cannot be read.
QByteArray FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

// The page file holds what the wizard shows now, after a finish.
QString FinishedPage(TForm3& wizard) {
    wizard.SpeedButton9Click();
    const QString current = CurrentPageFile(wizard);
    // A finish the user declined (a foreign file of that name) or that
    // failed leaves an older file, or none.
    if (wizard.WrittenPage != current || FileBytes(current) != PageBytesNow(wizard)) return QString();
    return current;
}

}  // namespace

QString CurrentPageFile(const TForm3& wizard) {
    return QDir(wizard.PageFolder()).absoluteFilePath(QFileInfo(wizard.PageFilePath()).fileName());
}

QString PageToSend(TForm3& wizard, QWidget* asking) {
    const QString current = CurrentPageFile(wizard);
    // Nothing finished in this run: the page opened, or written in an
    // earlier run, is where the wizard would write it.
    QString written = wizard.WrittenPage;
    if (written.isEmpty() && QFileInfo(current).isFile()) written = current;
    if (written.isEmpty()) {
        // Nothing to send but what the wizard holds; finishing writes a
        // file into the user's folder, so the user says so.
        if (!ui::AskYesNo(asking,
                          QStringLiteral("Die Seite wurde noch nicht fertiggestellt, es gibt noch keine Datei ") +
                              QFileInfo(current).fileName() +
                              QStringLiteral(". Jetzt fertigstellen und dann veröffentlichen?")))
            return QString();
        return FinishedPage(wizard);
    }
    // A page renamed since the finish is a change as well: the server
    // would get it under the old name.
    if (written == current && FileBytes(written) == PageBytesNow(wizard)) return written;
    switch (ui::AskYesNoOrCancel(asking, kChangedSinceFinish)) {
        case ui::TAnswer::Yes:
            return FinishedPage(wizard);
        case ui::TAnswer::No:
            return written;
        case ui::TAnswer::Cancel:
            break;
    }
    return QString();
}
