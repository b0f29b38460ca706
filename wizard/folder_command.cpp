// "Ordner…": the page's folder is chosen, not assumed. Started from the
// desktop menu the working directory is the home folder; the chosen folder
// becomes the working directory, as "Öffnen" does with an opened page's
// folder, so that the page and the relative names on it mean there what
// they mean in the browser.

#include <QDir>
#include <QFileDialog>
#include <QToolButton>

#include "core/page_file.h"
#include "wizard/wizard_window.h"

void TForm3::SpeedButton20Click() {  // "Ordner…"
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Ordner der Seite wählen"), QDir::currentPath(),
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty()) return;
    // Messages naming a path carry it in UTF-8, as the file system has it.
    if (!QDir::setCurrent(folder))
        throw core::TPathFileError(
            (QStringLiteral("Der Ordner „") + folder + QStringLiteral("“ lässt sich nicht öffnen"))
                .toUtf8()
                .toStdString());
    SpeedButton20->setToolTip(QDir::toNativeSeparators(QDir::currentPath()));
    // What the last finish wrote lies in the folder left behind.
    ForgetWrittenPage();
    ShowPageFile();
    emit PageChanged();
}
