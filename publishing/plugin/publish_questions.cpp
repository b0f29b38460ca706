#include "publishing/plugin/publish_questions.h"

#include <QInputDialog>
#include <QLineEdit>

#include "core/folder_names.h"
#include "transfer/fingerprint_text.h"
#include "ui/error_display.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"

namespace {

// On a line of its own, never broken, however narrow the box.
QString Shown(const QString& fingerprint) {
    return QString::fromStdString(transfer::ShownFingerprint(fingerprint.toStdString()));
}

}  // namespace

namespace {

// The fingerprint on a line of its own between what the question says
// before and after it.
bool AskTrust(QWidget* window, const QString& before, const QString& fingerprint, const QString& after) {
    return ui::AskYesNo(window, before + QStringLiteral("\n\n") + Shown(fingerprint) + QStringLiteral("\n\n") + after);
}

}  // namespace

bool AskTrustHost(QWidget* window, const QString& host, const QString& keyType, const QString& fingerprint) {
    // No password goes out before this answer; "Nein" sends nothing.
    return AskTrust(window,
                    QStringLiteral("Der Server ") + host + QStringLiteral(" ist noch unbekannt. Sein Schlüssel (") +
                        keyType + QStringLiteral(") hat den Fingerabdruck"),
                    fingerprint,
                    QStringLiteral("Ist das Ihr Server? Mit „Ja“ wird der Schlüssel in ~/.ssh/known_hosts "
                                   "eingetragen und die Seite übertragen."));
}

bool AskTrustCertificate(QWidget* window, const QString& server, const QString& why, const QString& fingerprint) {
    // Nothing, not even the user name, went out before this answer.
    return AskTrust(window,
                    QStringLiteral("Das Zertifikat des Servers ") + server +
                        QStringLiteral(" lässt sich nicht bestätigen (") + why +
                        QStringLiteral("). Sein SHA-256-Fingerabdruck:"),
                    fingerprint,
                    QStringLiteral("Ist das Ihr Server? Mit „Ja“ wird dieses Zertifikat für ihn gemerkt und die "
                                   "Seite übertragen."));
}

std::optional<QString> AskPassphrase(QWidget* window, const QString& keyFile) {
    QInputDialog dialog(window);
    dialog.setObjectName(QStringLiteral("PassphraseDialog"));
    dialog.setWindowTitle(ui::ApplicationTitle());
    dialog.setLabelText(QStringLiteral("Kennwort für den Schlüssel ") + keyFile + QStringLiteral(":"));
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Überspringen"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

QString LeftOutLine(const std::vector<transfer::TLeftOut>& leftOut) {
    // A page of 500 missing pictures must not give a box taller than the
    // screen: beyond 20 lines the last one counts the rest.
    constexpr std::size_t kMostLines = 20;
    const std::size_t shown = leftOut.size() > kMostLines ? kMostLines - 1 : leftOut.size();
    QString line = QStringLiteral("Nicht übertragen:");
    for (std::size_t i = 0; i < shown; ++i)
        line += QLatin1Char('\n') + ui::FromUtf8(core::PrintableName(leftOut[i].name)) + QLatin1Char(' ') +
                ui::FromUtf8(core::FaultWords(leftOut[i].reason));
    if (shown < leftOut.size())
        line += QStringLiteral("\n… und ") + QString::number(leftOut.size() - shown) + QStringLiteral(" weitere");
    return line;
}

QString LocationLine(std::size_t pictures) {
    return QStringLiteral("Ortsangaben werden vor dem Hochladen entfernt: ") + QString::number(pictures) +
           (pictures == 1 ? QStringLiteral(" Bild") : QStringLiteral(" Bilder"));
}

bool MayLeaveOut(QWidget* window, const std::vector<transfer::TLeftOut>& leftOut, std::size_t withoutLocation) {
    if (leftOut.empty() && withoutLocation == 0) return true;
    QStringList parts;
    if (!leftOut.empty()) parts << LeftOutLine(leftOut);
    // Said before anything goes up: the page then shows the pictures, not
    // where they were taken.
    if (withoutLocation != 0) parts << LocationLine(withoutLocation);
    parts << (leftOut.empty() ? QStringLiteral("Veröffentlichen?") : QStringLiteral("Trotzdem veröffentlichen?"));
    return ui::AskYesNo(window, parts.join(QStringLiteral("\n\n")));
}
