// What the window remembers per page file: the entries in the settings, the
// password in the keyring only.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "publishing/plugin/password_keyring.h"
#include "publishing/plugin/publish_entries.h"
#include "publishing/plugin/publish_window.h"
#include "publishing/plugin/transfer_choice.h"
#include "publishing/publish_engine.h"

void TForm4::LoadEntries() {
    entriesPage_ = pageFile_;
    const TPublishEntries entries = LoadPublishEntries(entriesPage_);
    filledAccount_.clear();
    // Chosen before the port is set, which the choice would otherwise move.
    ComboBox1->setCurrentIndex(ChoiceOf(ProtocolNamed(entries.protocol)));
    Edit1->setText(entries.host);
    Edit2->setText(QString::number(entries.port));
    Edit9->setText(entries.bucket);
    Edit10->setText(entries.region);
    Edit3->setText(entries.user);
    Edit4->clear();
    Edit5->setText(entries.keyFile);
    Edit6->setText(entries.folder);
    Edit7->setText(entries.address);
    CheckBox1->setChecked(keyring_ && entries.rememberPassword);
    CheckBox2->setChecked(entries.scalePictures);
    Edit8->setText(QString::number(entries.pictureSide));
    CheckBox2Click();
    if (!CheckBox1->isChecked() || entries.host.isEmpty()) return;
    const QString account = ShownAccount();
    ReadRememberedPassword(account, this, [this, account](const QString& password) {
        // The user may have typed another login or a password meanwhile.
        if (!Edit4->text().isEmpty() || ShownAccount() != account) return;
        Edit4->setText(password);
        filledAccount_ = account;
    });
}

QString TForm4::ShownAccount() const {
    return KeyringAccount(ProtocolAt(ComboBox1->currentIndex()), Edit1->text().trimmed(), Edit2->text().toInt(),
                          Edit3->text().trimmed());
}

void TForm4::LoginChange() {  // "Übertragung", "Server", "Port", "Benutzer"
    // A password from the keyring goes to its own login only, never to the
    // server the user has changed to.
    if (filledAccount_.isEmpty() || ShownAccount() == filledAccount_) return;
    filledAccount_.clear();
    Edit4->clear();
}

void TForm4::Edit4Change() {  // "Kennwort", as typed
    // The user's own password stays whatever login they choose.
    filledAccount_.clear();
}

void TForm4::SaveEntries() {
    TPublishEntries entries;
    entries.protocol = ProtocolName(ProtocolAt(ComboBox1->currentIndex()));
    entries.host = Edit1->text().trimmed();
    entries.port = Edit2->text().toInt();
    entries.bucket = Edit9->text().trimmed();
    entries.region = Edit10->text().trimmed();
    entries.user = Edit3->text().trimmed();
    entries.keyFile = Edit5->text().trimmed();
    entries.folder = Edit6->text().trimmed();
    entries.address = Edit7->text().trimmed();
    entries.rememberPassword = CheckBox1->isChecked();
    entries.scalePictures = CheckBox2->isChecked();
    entries.pictureSide = Edit8->text().toInt();
    SavePublishEntries(pageFile_, entries);
    entriesPage_ = pageFile_;
}
