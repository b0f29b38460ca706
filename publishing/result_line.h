#pragma once

#include <QString>

#include "transfer/publish.h"

// What a publish did, in one line: "3 Dateien übertragen, 12 unverändert";
// after a failure or a cancel its cause first and the files that did not
// go up last, which the next "Veröffentlichen" sends.
QString ResultLine(const transfer::TPublishPlan& plan, const transfer::TPublishResult& result);
