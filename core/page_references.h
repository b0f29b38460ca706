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

// The page beside this one that a link's target names, read as above
// ("seiten/fotos.htm#oben" names "seiten/fotos.htm"): a name inside the
// folder as spelled that ends in ".html" or ".htm", the endings this
// program gives its pages. Empty for any other target. Whether the name
// stays inside once links on the disk are followed is for whoever opens it.
std::string LinkedPageName(std::string_view linkTarget);
// Whether a name LocalReferences gave is such a page.
bool IsPageName(std::string_view name);

}  // namespace core
