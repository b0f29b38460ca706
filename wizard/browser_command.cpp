// "Im Browser ansehen": the page the last finish wrote, opened in the
// desktop's web browser.

#include <QUrl>
#include <stdexcept>

#include "ui/web_browser.h"
#include "wizard/wizard_window.h"

void TForm3::SpeedButton10Click() {  // "Im Browser ansehen"
    // Raised like any handler's error, so the display treats it like the
    // file layer's messages.
    if (!ui::OpenInWebBrowser(QUrl::fromLocalFile(WrittenPage))) throw std::runtime_error("Kein Webbrowser gefunden");
}
