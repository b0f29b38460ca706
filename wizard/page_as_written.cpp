// The wizard's one answer about its written page. The page is generated at
// most once for the answer: not at all while the file is as this window
// wrote it and nothing changed since, once to compare otherwise; a finish
// the user asks for generates it as every finish does.

#include "wizard/page_as_written.h"

#include <QDir>
#include <QFileInfo>
#include <string_view>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_window.h"

namespace {

const QString kChangedSinceFinish =
    QStringLiteral("Die Seite wurde seit dem letzten Fertigstellen geändert. Erst fertigstellen?");
const QString kNotWritten = QStringLiteral("Die Seite wurde nicht geschrieben; es wurde nichts veröffentlicht.");

// What is on disk under this name, read no further than a page can be;
// nothing for a file that cannot be read.
std::string FileBytes(const QString& path) {
    const QFileInfo file(path);
    try {
        return core::ReadPossiblePage(core::TPageFolder(ui::ToPath(file.absolutePath())),
                                      ui::ToPath(file.fileName()).string())
            .bytes;
    } catch (const core::TPageFileError&) {
        return std::string();
    }
}

}  // namespace

QString TForm3::CurrentPageFile() const {
    return QDir(PageFolder()).absoluteFilePath(QFileInfo(PageFilePath()).fileName());
}

bool TForm3::FileHoldsThePage(const QString& file) const {
    if (file == WrittenPage && !HasUnsavedEntries() && writtenStamp_) {
        const QFileInfo written(file);
        const core::TPageFolder folder(ui::ToPath(written.absolutePath()));
        if (core::LookAtPage(folder, ui::ToPath(written.fileName()).string()) == writtenStamp_) return true;
    }
    const core::TLineList lines = core::GeneratePage(DescribePage());
    return FileBytes(file) == lines.FileBytes();
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
    // A foreign file the user kept or a copy put back leave no page; a
    // failed save throws as every finish does.
    const TFinishedPage finished = Finish();
    if (finished.file.isEmpty()) return {{}, kNotWritten};
    return {finished.file, {}};
}
