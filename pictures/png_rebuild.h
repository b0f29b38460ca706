#pragma once

#include <optional>
#include <string_view>

#include "pictures/web_picture.h"

namespace pictures {

// PNG decoded and encoded anew by Qt (lossless both ways), transparency
// kept; its profile and the author's fields put back from the short list.
std::optional<TWebPicture> RebuildPng(std::string_view png, int longestSide);

}  // namespace pictures
