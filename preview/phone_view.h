#pragma once

class QBoxLayout;
class QLabel;
class QWebEngineView;

namespace preview {

// The parts of the preview window that draw the page.
struct TPhoneStage {
    QBoxLayout* layout;    // holds the view
    QWebEngineView* view;  // the page
    QLabel* hint;          // the line under the view
};

// Draws the page across the window, as a desktop browser does, or as a
// phone 360 pixels wide does: a page that declares a viewport laid out at
// the phone's width, any other at a desktop's 980 and shrunk to fit, with
// the hint under it. Takes effect for the page loaded next.
void ShowAsScreenOrPhone(const TPhoneStage& stage, bool phone, bool declaresViewport);

}  // namespace preview
