#pragma once

#include <cstdint>
#include <string_view>

#include "core/line_list.h"
#include "core/page_description.h"

namespace core {

TLineList GeneratePage(const TPageDescription& page);

// The font size the heading line gives a heading size 1 to 6 (others are
// taken as the nearest of them).
std::string_view HeadingFontSize(std::int32_t headingSizeIndex);

}  // namespace core
