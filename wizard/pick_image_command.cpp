// The "…" buttons: a picture chosen in the file dialog goes into its field
// as the page names it (see picture_name.h).

#include "wizard/picture_name.h"
#include "wizard/wizard_window.h"

void TForm3::SpeedButton12Click() {  // "…" beside the background image
    wizard::PickPicture(this, PageFolder(), Edit1);
}

void TForm3::SpeedButton13Click() {  // "…" beside the heading image
    wizard::PickPicture(this, PageFolder(), Edit8);
}

void TForm3::SpeedButton14Click() {  // "…" beside the corner image
    wizard::PickPicture(this, PageFolder(), Edit9);
}

void TForm3::SpeedButton15Click() {  // "…" beside the dot image
    wizard::PickPicture(this, PageFolder(), Edit6);
}

void TForm3::SpeedButton16Click() {  // "…" beside the link background
    wizard::PickPicture(this, PageFolder(), Edit7);
}

void TForm3::SpeedButton17Click() {  // "…" beside the inline image
    wizard::PickPicture(this, PageFolder(), Edit13);
}

void TForm3::SpeedButton18Click() {  // "…" beside the image column's image
    wizard::PickPicture(this, PageFolder(), Edit10);
}
