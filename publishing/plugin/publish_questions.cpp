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

namespace {

// A page of 500 missing pictures must not give a box taller than the
// screen: beyond 20 lines the last one counts the rest.
QString NotSentLine(const std::vector<std::pair<std::string, std::string>>& namesAndReasons) {
    constexpr std::size_t kMostLines = 20;
    const std::size_t count = namesAndReasons.size();
    const std::size_t shown = count > kMostLines ? kMostLines - 1 : count;
    QString line = QStringLiteral("Nicht übertragen:");
    for (std::size_t i = 0; i < shown; ++i)
        line += QLatin1Char('\n') + ui::FromUtf8(core::PrintableName(namesAndReasons[i].first)) + QLatin1Char(' ') +
                ui::FromUtf8(namesAndReasons[i].second);
    if (shown < count) line += QStringLiteral("\n… und ") + QString::number(count - shown) + QStringLiteral(" weitere");
    return line;
}

}  // namespace

QString LeftOutLine(const std::vector<transfer::TLeftOut>& leftOut) {
    std::vector<std::pair<std::string, std::string>> named;
    for (const transfer::TLeftOut& file : leftOut) named.emplace_back(file.name, core::FaultWords(file.reason));
    return NotSentLine(named);
}

namespace {

QString Question(const QStringList& parts, bool leavingOut) {
    return parts.join(QStringLiteral("\n\n")) + QStringLiteral("\n\n") +
           (leavingOut ? QStringLiteral("Trotzdem veröffentlichen?") : QStringLiteral("Veröffentlichen?"));
}

}  // namespace

bool MayLeaveOut(QWidget* window, const std::vector<transfer::TLeftOut>& leftOut) {
    if (leftOut.empty()) return true;
    return ui::AskYesNo(window, Question({LeftOutLine(leftOut)}, true));
}

bool MaySendPictures(QWidget* window, const pictures::TPicturesDone& done,
                     const std::vector<std::string>& notCleanable) {
    QStringList parts;
    // Said before anything goes up: the page then shows the pictures, not
    // where they were taken.
    if (const std::string line = pictures::DoneLine(done); !line.empty()) parts << ui::FromUtf8(line);
    if (!notCleanable.empty()) {
        std::vector<std::pair<std::string, std::string>> named;
        for (const std::string& file : notCleanable) named.emplace_back(file, pictures::kNotCleanable);
        parts << NotSentLine(named);
    }
    return ui::AskYesNo(window, Question(parts, !notCleanable.empty()));
}
