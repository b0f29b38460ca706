// "Übertragung": SFTP, FTPS, WebDAV or object storage. The port follows the
// choice unless the user typed one; each way shows the fields it needs.

#include <QCheckBox>
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
    ShowWayFields(false);
    LoginChange();
}

void TForm4::ShowWayFields(bool running) {
    const TWayFields fields = FieldsOf(ProtocolAt(ComboBox1->currentIndex()));
    Label1->setText(fields.server);
    Edit1->setPlaceholderText(fields.serverHint);
    Label3->setText(fields.user);
    Label4->setText(fields.password);
    CheckBox1->setText(fields.remember);
    Label6->setText(fields.folder);
    // Bucket and region take the rows of the port and the key file.
    for (QWidget* control : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Edit2)})
        control->setVisible(fields.port);
    for (QWidget* control :
         {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Edit5), static_cast<QWidget*>(SpeedButton1)})
        control->setVisible(!fields.storage);
    for (QWidget* control : {static_cast<QWidget*>(Label13), static_cast<QWidget*>(Edit9),
                             static_cast<QWidget*>(Label14), static_cast<QWidget*>(Edit10)})
        control->setVisible(fields.storage);
    Label5->setEnabled(fields.keyFile);
    Edit5->setEnabled(fields.keyFile && !running);
    SpeedButton1->setEnabled(fields.keyFile && !running);
}
