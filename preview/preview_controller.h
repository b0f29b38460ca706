#pragma once

#include <QObject>
#include <QPluginLoader>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "preview/page_preview.h"

class QWidget;
class TForm3;

// "Vorschau": the page the wizard would write now, drawn by the browser
// engine in a window beside the wizard and drawn again a short pause after
// the wizard's last change. The engine is loaded on the first Open(). A link
// the user follows there opens in the desktop's web browser.
class TPagePreviewController : public QObject {
    Q_OBJECT
public:
    TPagePreviewController();
    ~TPagePreviewController() override;

    // Follows this wizard from now on; an open preview shows its page.
    void Attach(TForm3* wizard);
    // Shows the preview, or brings it to the front. Throws when the engine
    // cannot be loaded.
    void Open();
    // The preview window while there is one.
    QWidget* Window() const;
    // The plugin's file; tests name one that is not there.
    void SetPluginFile(const QString& path) { pluginFile_ = path; }
    // The pause after the last change; benchmarks measure the update
    // without it.
    void SetPause(int milliseconds) { pause_.setInterval(milliseconds); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WizardChanged();
    void LinkFollowed(const QUrl& url);
    void Update();
    void PlaceBesideWizard();

    QPointer<TForm3> wizard_;
    const QObject* watchedWizard_ = nullptr;
    QMetaObject::Connection changes_;
    QString pluginFile_;
    QTimer pause_;
    std::unique_ptr<IPagePreview> preview_;
};
