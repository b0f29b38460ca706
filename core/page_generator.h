#pragma once

#include "core/line_list.h"
#include "core/page_description.h"

namespace core {

TLineList GeneratePage(const TPageDescription& page);

}  // namespace core
