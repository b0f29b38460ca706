#pragma once

#include <optional>
#include <string_view>

#include "pictures/web_picture.h"

namespace pictures {

// GIF through giflib: every frame read whole, then written anew with its
// colours, its timing and the loop count; comments and every application's
// block (XMP among them) stay behind. Never scaled.
std::optional<TWebPicture> RebuildGif(std::string_view gif);

}  // namespace pictures
