// "Vorschau": the page as it would be written now. The preview itself sits
// above the wizard and answers the signal.

#include "wizard/wizard_window.h"

void TForm3::SpeedButton11Click() {  // "Vorschau"
    emit PreviewRequested();
}
