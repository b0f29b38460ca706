#pragma once

#include <optional>
#include <string_view>

#include "core/page_description.h"

namespace core {

// Reads a page file back into a description from which GeneratePage writes
// exactly these bytes, every line followed by CR LF. Any other bytes, a page
// edited by hand included, give nullopt. Fields the page does not show keep
// their defaults; where several descriptions write the page, any of them
// may come back.
std::optional<TPageDescription> ReadPage(std::string_view fileBytes);

// The bytes every page file starts with, whatever its description: a file
// that does not is no page, whatever follows.
inline constexpr std::string_view kPageStart = "<html>\r\n<head><title>";

}  // namespace core
