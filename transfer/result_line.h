#pragma once

#include <string>

#include "transfer/publish.h"

namespace transfer {

// "3 Dateien übertragen, 12 unverändert"; after a stop also how many of the
// plan's files were not sent ("…, 2 nicht übertragen"). UTF-8.
std::string ResultLine(const TPublishPlan& plan, const TPublishResult& result);

}  // namespace transfer
