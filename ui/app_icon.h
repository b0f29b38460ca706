#pragma once

#include <QIcon>

// The program's icon: a page with a green "H" and a little wand, 32 x 32
// pixels in 16 colours or fewer.
namespace ui {

QIcon AppIcon();

}  // namespace ui
