// What the window remembers per page file: the entries in the settings, the
// password in the keyring only.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "publishing/password_keyring.h"
#include "publishing/publish_engine.h"
#include "publishing/publish_entries.h"
#include "publishing/publish_window.h"
#include "publishing/transfer_choice.h"

void TForm4::LoadEntries() {
    entriesPage_ = source_.PageFile();
    const TPublishEntries entries = LoadPublishEntries(entriesPage_);
    // Chosen before the port is set, which the choice would otherwise move.
    ComboBox1->setCurrentIndex(ChoiceOf(ProtocolNamed(entries.protocol)));
    Edit1->setText(entries.host);
    Edit2->setText(QString::number(entries.port));
    Edit3->setText(entries.user);
    Edit4->clear();
    Edit5->setText(entries.keyFile);
    Edit6->setText(entries.folder);
    Edit7->setText(entries.address);
    CheckBox1->setChecked(keyring_ && entries.rememberPassword);
    if (!CheckBox1->isChecked() || entries.host.isEmpty()) return;
    const QString account = KeyringAccount(entries.host, entries.port, entries.user);
    ReadRememberedPassword(account, this, [this, account](const QString& password) {
        // The user may have typed another login or a password meanwhile.
        if (Edit4->text().isEmpty() && KeyringAccount(Edit1->text(), Edit2->text().toInt(), Edit3->text()) == account)
            Edit4->setText(password);
    });
}

void TForm4::SaveEntries() {
    TPublishEntries entries;
    entries.protocol = ProtocolName(ProtocolAt(ComboBox1->currentIndex()));
    entries.host = Edit1->text().trimmed();
    entries.port = Edit2->text().toInt();
    entries.user = Edit3->text().trimmed();
    entries.keyFile = Edit5->text().trimmed();
    entries.folder = Edit6->text().trimmed();
    entries.address = Edit7->text().trimmed();
    entries.rememberPassword = CheckBox1->isChecked();
    SavePublishEntries(source_.PageFile(), entries);
    entriesPage_ = source_.PageFile();
}
