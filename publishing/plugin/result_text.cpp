#include "publishing/plugin/result_text.h"

#include "transfer/result_line.h"
#include "ui/error_display.h"
#include "ui/text_boundary.h"

QString ResultText(const transfer::TPublishPlan& plan, const transfer::TPublishResult& result) {
    const QString error = result.error ? ui::FromUtf8(result.error->what()) : QString();
    const std::string shownError = ui::ErrorDisplayText(error).toStdString();
    return ui::FromUtf8(transfer::ResultLine(plan, result, shownError));
}

QString OnlineCheckText(const transfer::TOnlineCheck& check) {
    QString line = ui::FromUtf8(check.line);
    if (!check.warning.empty()) line += QStringLiteral("\n") + ui::FromUtf8(check.warning);
    return line;
}
