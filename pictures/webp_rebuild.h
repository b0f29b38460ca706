#pragma once

#include <optional>
#include <string_view>

#include "pictures/web_picture.h"

namespace pictures {

// WebP through libwebp: every frame decoded once to prove it whole; at its
// own size the frames' coded data is copied into a new file (no quality
// lost) with only the kept profile and EXIF block beside it; a still
// picture larger than the limit is encoded anew, scaled.
std::optional<TWebPicture> RebuildWebp(std::string_view webp, int longestSide);

}  // namespace pictures
