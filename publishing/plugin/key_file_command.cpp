// "…" beside "Schlüsseldatei": the user's private key, picked where `ssh`
// keeps them.

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

#include "publishing/plugin/publish_window.h"

void TForm4::SpeedButton1Click() {  // "…"
    const QString start = Edit5->text().isEmpty() ? QDir::home().filePath(QStringLiteral(".ssh")) : Edit5->text();
    // Qt's own dialog looks and behaves the same on every desktop.
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Schlüsseldatei wählen"), start, QString(),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) Edit5->setText(path);
}
