// "Im Browser ansehen": the page the last finish wrote, opened in the
// desktop's web browser; "Vorschau": the page as it would be written now.

#include <QDesktopServices>
#include <QUrl>
#include <stdexcept>

#include "wizard/wizard_window.h"

void TForm3::SpeedButton10Click() {  // "Im Browser ansehen"
    // Raised like any handler's error, so the display treats it like the
    // file layer's messages.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(WrittenPage)))
        throw std::runtime_error("Kein Webbrowser gefunden");
}

void TForm3::SpeedButton11Click() {  // "Vorschau"
    emit PreviewRequested();
}
