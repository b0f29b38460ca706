#include "preview/phone_view.h"

#include <QBoxLayout>
#include <QLabel>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace preview {

namespace {

// What phones of today report in CSS pixels, and the width they lay out a
// page at that says nothing of its own.
constexpr int kPhoneWidth = 360;
constexpr int kLayoutWithoutViewport = 980;

}  // namespace

void ShowAsScreenOrPhone(const TPhoneStage& stage, bool phone, bool declaresViewport) {
    QWebEngineView* view = stage.view;
    if (phone) {
        view->setFixedWidth(kPhoneWidth);
    } else {
        view->setMinimumWidth(0);
        view->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    stage.layout->setAlignment(view, phone ? Qt::AlignHCenter : Qt::Alignment());
    // The engine here ignores the viewport a page declares: the zoom lays the
    // page out as wide as a phone would, in the view's 360 pixels.
    const bool shrunk = phone && !declaresViewport;
    view->setZoomFactor(shrunk ? static_cast<double>(kPhoneWidth) / kLayoutWithoutViewport : 1.0);
    // A phone's scroll bars take no room from the page. The engine applies
    // this to the next page it loads.
    view->page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, !phone);
    stage.hint->setVisible(shrunk);
}

}  // namespace preview
