#pragma once

#include <QString>

#include "transfer/fetch.h"
#include "transfer/online_check.h"
#include "transfer/publish.h"

// transfer::ResultLine, its cause worded as the error display words it.
QString ResultText(const transfer::TPublishPlan& plan, const transfer::TPublishResult& result);

// transfer::FetchResultLine, worded the same way.
QString FetchResultText(const transfer::TFetchResult& result);

// What the check online found, and its warning on a line of its own.
QString OnlineCheckText(const transfer::TOnlineCheck& check);
