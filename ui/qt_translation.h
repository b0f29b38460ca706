#pragma once

// Qt's own texts (the file dialog's buttons and captions, a field's context
// menu, the standard buttons) in German, as the program speaks whatever the
// user's locale. Only the texts change: the default QLocale, which the spin
// fields read, stays the user's.

namespace ui {

// Loads Qt's German translation from Qt's translations folder once the
// application object exists. Without it (not installed) Qt's texts stay
// English and the program runs as before.
void InstallQtTranslation();

}  // namespace ui
