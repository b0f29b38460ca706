#pragma once

#include <cstddef>
#include <string>

#include "core/page_description.h"

namespace bench {

// A 24-byte text, different for every index, as a user might type it.
std::string SampleText(const char* prefix, std::size_t index);

// The default page with `entries` links, text lines and images each.
core::TPageDescription SamplePage(std::size_t entries);

}  // namespace bench
