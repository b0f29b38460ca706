// "Veröffentlichen": publishing sits above the wizard and answers the
// signal.

#include "wizard/wizard_window.h"

void TForm3::SpeedButton19Click() {  // "Veröffentlichen"
    emit PublishRequested();
}
