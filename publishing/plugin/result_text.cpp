#include "publishing/plugin/result_text.h"

#include "transfer/result_line.h"
#include "ui/error_display.h"
#include "ui/text_boundary.h"

namespace {

// The error as the error display words it.
std::string Shown(const std::optional<transfer::TTransferError>& error) {
    return ui::ErrorDisplayText(error ? ui::FromUtf8(error->what()) : QString()).toStdString();
}

}  // namespace

QString ResultText(const transfer::TPublishPlan& plan, const transfer::TPublishResult& result) {
    return ui::FromUtf8(transfer::ResultLine(plan, result, Shown(result.error)));
}

QString FetchResultText(const transfer::TFetchResult& result) {
    return ui::FromUtf8(transfer::FetchResultLine(result, Shown(result.error)));
}

QString OnlineCheckText(const transfer::TOnlineCheck& check) {
    QString line = ui::FromUtf8(check.line);
    if (!check.warning.empty()) line += QStringLiteral("\n") + ui::FromUtf8(check.warning);
    return line;
}
