#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/page_description.h"

namespace core {

// The local files the page refers to, in page order, each once, as UTF-8 file names.
// They are read from the page GeneratePage writes, as a browser reads it: the
// src, href and background attributes of every tag (typed markup included),
// character references and percent-escapes decoded, query and fragment
// dropped, dot segments resolved ("bilder/../a.jpg" is "a.jpg"). Absolute
// URLs, fragment-only and empty values, comments, script and the other
// text-only elements, and a typed <base href> give none.
std::vector<std::string> LocalReferences(const TPageDescription& page);
// The same for the bytes GeneratePage gave, where the caller has them.
std::vector<std::string> LocalReferences(std::string_view pageBytes);

}  // namespace core
