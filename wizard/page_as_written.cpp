// The wizard's one answer about its written page. The page is generated at
// most once for the answer: not at all while the file is as this window
// wrote it and nothing changed since, once to compare otherwise; a finish
// the user asks for generates it as every finish does.

#include "wizard/page_as_written.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string_view>

#include "core/page_generator.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"

namespace {

const QString kChangedSinceFinish =
    QStringLiteral("Die Seite wurde seit dem letzten Fertigstellen geändert. Erst fertigstellen?");
const QString kNotWritten = QStringLiteral("Die Seite wurde nicht geschrieben; es wurde nichts veröffentlicht.");

// What is on disk under this name; nothing for a file that cannot be read.
QByteArray FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

}  // namespace

QString TForm3::CurrentPageFile() const {
    return QDir(PageFolder()).absoluteFilePath(QFileInfo(PageFilePath()).fileName());
}

bool TForm3::FileHoldsThePage(const QString& file) const {
    if (file == WrittenPage && !HasUnsavedEntries() && writtenStamp_ &&
        core::FileStamp(ui::ToPath(file)) == writtenStamp_)
        return true;
    const core::TLineList lines = core::GeneratePage(DescribePage());
    const std::string_view bytes = lines.FileBytes();
    return FileBytes(file) == QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

TPageAsWritten TForm3::PageAsWritten(QWidget* asking) {
    const QString current = CurrentPageFile();
    // Nothing finished in this run: the page opened, or written in an
    // earlier run, is where the wizard would write it.
    QString written = WrittenPage;
    if (written.isEmpty() && QFileInfo(current).isFile()) written = current;
    if (written.isEmpty()) {
        // Finishing writes a file into the user's folder, so the user says so.
        if (!ui::AskYesNo(asking, QStringLiteral("Die Seite wurde noch nicht fertiggestellt, es gibt noch keine "
                                                 "Datei ") +
                                      QFileInfo(current).fileName() +
                                      QStringLiteral(". Jetzt fertigstellen und dann veröffentlichen?")))
            return {};
        return FinishedPage();
    }
    // A page renamed since the finish is a change as well: the server
    // would get it under the old name.
    if (written == current && FileHoldsThePage(current)) return {current, {}};
    switch (ui::AskYesNoOrCancel(asking, kChangedSinceFinish)) {
        case ui::TAnswer::Yes:
            return FinishedPage();
        case ui::TAnswer::No:
            return {written, {}};
        case ui::TAnswer::Cancel:
            break;
    }
    return {};
}

TPageAsWritten TForm3::FinishedPage() {
    SpeedButton9Click();
    // The finish names its page only once it has written it: a foreign file
    // the user kept, a copy put back or a failed save leave none.
    if (WrittenPage == CurrentPageFile()) return {WrittenPage, {}};
    return {{}, kNotWritten};
}
