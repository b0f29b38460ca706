#pragma once

#include <QString>

#include "transfer/online_check.h"
#include "transfer/publish.h"

// What a publish did, in one line: "3 Dateien übertragen, 12 unverändert";
// after a failure or a cancel its cause first and the files that did not
// go up last, which the next "Veröffentlichen" sends.
QString ResultLine(const transfer::TPublishPlan& plan, const transfer::TPublishResult& result);

// What the check online found, and its warning on a line of its own.
QString OnlineCheckLine(const transfer::TOnlineCheck& check);
