#include "publishing/result_line.h"

#include <QStringList>
#include <algorithm>

#include "ui/error_display.h"

namespace {

QString Files(std::size_t count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" Datei") : QStringLiteral(" Dateien"));
}

bool Contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

QString ResultLine(const transfer::TPublishPlan& plan, const transfer::TPublishResult& result) {
    const QString counts = Files(result.sent.size()) + QStringLiteral(" übertragen, ") +
                           QString::number(result.unchanged.size()) + QStringLiteral(" unverändert");
    if (result.error.empty() && !result.cancelled) return counts;
    QStringList notSent;
    for (const std::string& file : plan.files)
        if (!Contains(result.sent, file) && !Contains(result.unchanged, file))
            notSent.append(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())));
    const QString cause =
        result.cancelled && result.error.empty()
            ? QStringLiteral("Abgebrochen.")
            : ui::ErrorDisplayText(QString::fromUtf8(result.error.data(), static_cast<qsizetype>(result.error.size())));
    QString line = cause + QStringLiteral(" ") + counts;
    if (!notSent.isEmpty()) line += QStringLiteral("; nicht übertragen: ") + notSent.join(QStringLiteral(", "));
    return line;
}

QString OnlineCheckLine(const transfer::TOnlineCheck& check) {
    QString line = QString::fromUtf8(check.line.data(), static_cast<qsizetype>(check.line.size()));
    if (!check.warning.empty())
        line += QStringLiteral("\n") +
                QString::fromUtf8(check.warning.data(), static_cast<qsizetype>(check.warning.size()));
    return line;
}
