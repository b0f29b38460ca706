// "Vom Server holen": the login of the window, then the server's folder, a
// new folder here and where the site starts; the site comes on the
// publish's thread, and its start page opens in the wizard.

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "publishing/plugin/fetch_folder.h"
#include "publishing/plugin/publish_entries.h"
#include "publishing/plugin/publish_window.h"
#include "publishing/plugin/result_area.h"
#include "publishing/plugin/result_text.h"
#include "ui/error_display.h"
#include "ui/text_boundary.h"

void TForm4::BitBtn4Click() {  // "Vom Server holen…", or "Veröffentlichen…"
    SetFetching(!fetching_);
}

void TForm4::SpeedButton2Click() {  // "…" beside "Ordner hier"
    // Qt's own dialog, as for the key file: it can make the new folder too.
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Ordner für die Website"), FolderHere(Edit12->text().trimmed()),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty()) Edit12->setText(folder);
}

void TForm4::StartFetching(transfer::TServerLogin login) {
    if (Edit12->text().trimmed().isEmpty()) {
        ui::ShowErrorDisplay(this, QStringLiteral("Bitte den Ordner hier angeben"));
        Edit12->setFocus();
        return;
    }
    order_ = transfer::TFetchOrder{};
    order_.folder = ui::ToPath(FolderHere(Edit12->text().trimmed()));
    if (!Edit11->text().trimmed().isEmpty()) order_.startPage = Edit11->text().trimmed().toUtf8().toStdString();
    order_.wholeFolder = CheckBox3->isChecked();
    login_ = std::move(login);
    ShowRunning(true);
    run_.StartFetch(order_, login_, ui::ToPath(PublishRecordFolder()));
}

void TForm4::Fetched(const transfer::TFetchResult& result) {
    ShowRunning(false);
    Label8->setText(FetchResultText(result));
    const bool whole = result.Whole();
    // The fetched page publishes with this login from now on.
    if (whole) SetPageFile(ui::FromUtf8((order_.folder / order_.startPage).string()));
    if (whole) SaveEntries();
    EndRun(result.byPassword);
    if (!whole) return;
    Edit12->clear();
    emit PageFetched(pageFile_);
}
