#include "ui/app_icon.h"

#include <QPixmap>

namespace {

// clang-format off
const char* const kAppIconXpm[] = {
    "32 32 11 1",
    "  c None",
    "* c #FFC000",
    "G c #008000",
    "b c #800000",
    "d c #004000",
    "f c #C0C0C0",
    "l c #A0A0A0",
    "o c #404040",
    "s c #808080",
    "w c #FFFFFF",
    "y c #FEE69C",
    "                                ",
    "                                ",
    "     oooooooooooooo             ",
    "     owwwwwwwwwwwwoo            ",
    "     owwwwwwwwwwwwofo           ",
    "     owllllllllllwoffo          ",
    "     owwwwwwwwwwwwofffo         ",
    "     owllllllllllwoffffo        ",
    "     owwwwwwwwwwwwooooooo       ",
    "     owwwwwwwwwwwwwwwwwwos      ",
    "     owyyyyyyyyyyyyyyyywos      ",
    "     owyyyyyyyyyyyyyyyywos      ",
    "     owyyyyyyyyyyyyyyyywos      ",
    "     owwwwwwwwwwwwwwwwwwos      ",
    "     owwwwwwwwwwwwwwwwwwos      ",
    "     owwGGGwwwwwwGGGdwwwos      ",
    "     owwGGGwwwwwwGGGdwwwos      ",
    "     owwGGGwwwwwwGGGdwwwos      ",
    "     owwGGGwwwwwwGGGdwwwos      ",
    "     owwGGGwwwwwwGGGdwwwos      ",
    "     owwGGGGGGGGGGGGdwwwos      ",
    "     owwGGGGGGGGGGGGdwwwos      ",
    "     owwGGGddddddGGGdwwwos      ",
    "     owwGGGwwwwwwGGGdwwwos *    ",
    "     owwGGGwwwwwwGGGdwwwos *    ",
    "     owwGGGwwwwwwGGGdwwwo*****  ",
    "     owwGGGwwwwwwGGGdwwwob *    ",
    "     owwwwwwwwwwwwwwwwwwbs *    ",
    "     owwwwwwwwwwwwwwwwwbos      ",
    "     oooooooooooooooooboos      ",
    "       ssssssssssssssbssss      ",
    "                                "
};
// clang-format on

}  // namespace

namespace ui {

QIcon AppIcon() {
    // Decoding 32 x 32 pixels is cheap; a cached copy would outlive the
    // application object, which pixmaps must not.
    return QIcon(QPixmap(kAppIconXpm));
}

}  // namespace ui
