// "Übertragung": SFTP or FTPS. The port follows the choice unless the user
// typed one; the key file is SFTP's alone.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "publishing/plugin/publish_window.h"
#include "publishing/plugin/transfer_choice.h"

void TForm4::ComboBox1Change() {  // "Übertragung"
    const transfer::TProtocol chosen = ProtocolAt(ComboBox1->currentIndex());
    Edit2->setText(FollowingPort(Edit2->text(), chosen));
    // The choice is fixed while a publish runs.
    ShowKeyFile(false);
    LoginChange();
}

void TForm4::ShowKeyFile(bool running) {
    const bool sftp = ProtocolAt(ComboBox1->currentIndex()) == transfer::TProtocol::Sftp;
    Label5->setEnabled(sftp);
    Edit5->setEnabled(sftp && !running);
    SpeedButton1->setEnabled(sftp && !running);
}
