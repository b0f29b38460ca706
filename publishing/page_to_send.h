#pragma once

#include <QString>

class QWidget;
class TForm3;

// The absolute path of the page file as the wizard names it now.
QString CurrentPageFile(const TForm3& wizard);

// The written page file to publish. When the page the wizard would write
// now is not the one on disk, the user is asked over the asking window
// whether to finish first ("Ja" finishes, "Nein" keeps the written file,
// Escape drops the publish); when there is no file yet, whether to finish
// now. Empty when the user drops it or the finish did not write the page.
QString PageToSend(TForm3& wizard, QWidget* asking);
