// "Veröffentlichen": the page the wizard has written and the files it names
// go to the server on a thread of their own; "Abbrechen" stops them and
// "Schließen" closes the window.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "pictures/web_picture.h"
#include "publishing/plugin/password_keyring.h"
#include "publishing/plugin/publish_entries.h"
#include "publishing/plugin/publish_questions.h"
#include "publishing/plugin/publish_window.h"
#include "publishing/plugin/result_area.h"
#include "publishing/plugin/result_text.h"
#include "publishing/plugin/transfer_choice.h"
#include "publishing/publish_engine.h"
#include "ui/error_display.h"

namespace {

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// The page could not be read: its message is UTF-8, naming the path.
std::optional<transfer::TPublishPlan> Plan(QWidget* window, const QString& pageFile) {
    try {
        return transfer::PlanPublish(std::filesystem::path(Utf8(pageFile)));
    } catch (const transfer::TTransferError& error) {
        ui::ShowErrorDisplay(window, QString::fromUtf8(error.what()));
        return std::nullopt;
    }
}

}  // namespace

void TForm4::BitBtn1Click() {  // "Veröffentlichen", or "Holen"
    if (run_.Running()) return;
    pressedLogin_ = ReadLogin();
    if (!pressedLogin_) return;
    if (fetching_) {
        StartFetching(*std::exchange(pressedLogin_, std::nullopt));
        return;
    }
    pressedSide_ = ReadPictureSide();
    if (pressedSide_) emit PublishPressed();
}

void TForm4::SetPageFile(const QString& file) {
    pageFile_ = file;
}

void TForm4::Send(const TPageAsWritten& page) {
    std::optional<transfer::TServerLogin> login = std::exchange(pressedLogin_, std::nullopt);
    const std::optional<int> side = std::exchange(pressedSide_, std::nullopt);
    if (!login || !side || run_.Running()) return;
    if (!page.file.isEmpty())
        StartPublishing(page.file, std::move(*login), *side);
    else
        Label8->setText(page.reason);
}

void TForm4::CheckBox2Click() {  // "Fotos verkleinern auf"
    Edit8->setEnabled(CheckBox2->isChecked() && !run_.Running());
}

void TForm4::BitBtn2Click() {  // "Schließen"
    close();
}

void TForm4::BitBtn3Click() {  // "Abbrechen"
    run_.Cancel();
    BitBtn3->setEnabled(false);
}

std::optional<transfer::TServerLogin> TForm4::ReadLogin() {
    const auto missing = [this](QLineEdit* field, const QString& message) {
        ui::ShowErrorDisplay(this, message);
        field->setFocus();
        return std::nullopt;
    };
    transfer::TServerLogin login;
    login.protocol = ProtocolAt(ComboBox1->currentIndex());
    const bool storage = login.protocol == transfer::TProtocol::S3;
    const bool overAddress = storage || login.protocol == transfer::TProtocol::WebDav;
    login.host = Utf8(Edit1->text().trimmed());
    if (login.host.empty())
        return missing(Edit1, overAddress ? storage ? QStringLiteral("Bitte den Endpunkt angeben")
                                                    : QStringLiteral("Bitte die Adresse angeben")
                                          : QStringLiteral("Bitte den Server angeben"));
    // The address names its own port; the keyring knows the login by it.
    if (overAddress) login.address = login.host;
    bool number = false;
    login.port = overAddress ? DefaultPort(login.protocol) : Edit2->text().toInt(&number);
    if (!overAddress && (!number || login.port < 1 || login.port > 65535))
        return missing(Edit2, QStringLiteral("Der Port ist eine Zahl von 1 bis 65535"));
    if (storage) {
        login.bucket = Utf8(Edit9->text().trimmed());
        if (login.bucket.empty()) return missing(Edit9, QStringLiteral("Bitte den Bucket angeben"));
        login.region = Utf8(Edit10->text().trimmed());
        if (login.region.empty()) return missing(Edit10, QStringLiteral("Bitte die Region angeben"));
    }
    login.user = Utf8(Edit3->text().trimmed());
    if (login.user.empty())
        return missing(Edit3, storage ? QStringLiteral("Bitte den Zugangsschlüssel angeben")
                                      : QStringLiteral("Bitte den Benutzer angeben"));
    login.password = Utf8(Edit4->text());
    // Only SFTP knows keys: FTP without a password would log in anonymously.
    if (login.protocol != transfer::TProtocol::Sftp && login.password.empty())
        return missing(Edit4, storage ? QStringLiteral("Bitte den geheimen Schlüssel angeben")
                                      : QStringLiteral("Bitte das Kennwort angeben"));
    if (login.protocol == transfer::TProtocol::Sftp) login.keyFile = Utf8(Edit5->text().trimmed());
    login.trustFolder = std::filesystem::path(Utf8(PublishSettingsFolder()));
    login.folder = Utf8(Edit6->text().trimmed());
    return login;
}

std::optional<int> TForm4::ReadPictureSide() {
    if (!CheckBox2->isChecked()) return pictures::kNoScaling;
    bool number = false;
    const int side = Edit8->text().toInt(&number);
    // Smaller than a phone's screen, a photo would be of no use.
    if (!number || side < 100) {
        ui::ShowErrorDisplay(this, QStringLiteral("Fotos lassen sich auf 100 Pixel und mehr verkleinern"));
        Edit8->setFocus();
        return std::nullopt;
    }
    return side;
}

void TForm4::StartPublishing(const QString& pageFile, transfer::TServerLogin login, int pictureSide) {
    std::optional<transfer::TPublishPlan> plan = Plan(this, pageFile);
    if (!plan || !MayLeaveOut(this, plan->leftOut)) return;
    SaveEntries();
    plan_ = std::move(*plan);
    login_ = std::move(login);
    ShowRunning(true);
    run_.Start(plan_, login_, std::filesystem::path(Utf8(PublishRecordFolder())), Utf8(Edit7->text().trimmed()),
               pictureSide);
}

void TForm4::Finished(const transfer::TPublishResult& result) {
    ShowRunning(false);
    Label8->setText(ResultText(plan_, result));
    EndRun(result.byPassword);
}

void TForm4::EndRun(bool byPassword) {
    if (keyring_) {
        const QString account = KeyringAccount(login_.protocol, QString::fromStdString(login_.host), login_.port,
                                               QString::fromStdString(login_.user));
        // Only a password that got the user in is worth keeping: not one
        // typed in vain while a key logged in.
        if (!CheckBox1->isChecked())
            ForgetPassword(account);
        else if (!login_.password.empty() && byPassword)
            RememberPassword(account, QString::fromStdString(login_.password));
    }
    login_.password.clear();
    if (closeWhenDone_) {
        closeWhenDone_ = false;
        close();
    }
}

void TForm4::Checked(const std::optional<transfer::TOnlineCheck>& check) {
    Label11->setText(check ? OnlineCheckText(*check) : QStringLiteral("Die Seite im Netz wird geprüft …"));
}
