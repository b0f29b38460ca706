#pragma once

#include <string>
#include <vector>

#include "core/page_description.h"

namespace core {

// Lines without terminators, Windows-1252 bytes.
using TLineList = std::vector<std::string>;

TLineList GeneratePage(const TPageDescription& page);

}  // namespace core
