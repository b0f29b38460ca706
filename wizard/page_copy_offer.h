#pragma once

// A save that overwrote a page in place and was cut off (the program killed,
// the power gone) leaves the page's previous bytes in a copy of their own.
// Before the page is opened or written again, the user may have them back.

#include <string>

class QWidget;

namespace core {
class TPageFolder;
}

namespace wizard {

// When such a copy of the page `name` in the folder is there, says so and
// asks whether to put it back. True when the user said yes and the page
// holds it again; false when there is none or the user keeps the current
// file (the copy stays).
bool OfferPageCopy(QWidget* window, const core::TPageFolder& folder, const std::string& name);

}  // namespace wizard
