#pragma once

#include <string_view>

namespace preview {

// Whether the page's bytes declare a viewport (<meta name="viewport" ...>):
// a phone then lays the page out at its own width; without one, at the
// width of a desktop window, shrunk to fit. The engine on the desktop
// ignores the declaration, so the preview reads it itself.
bool DeclaresViewport(std::string_view page);

}  // namespace preview
