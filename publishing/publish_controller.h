#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

#include "publishing/publish_engine.h"

class QWidget;
class TForm3;

// "Veröffentlichen": the window that sends the wizard's written page and its
// pictures to the user's web space. The plugin holding the window and the
// transfers is loaded on the first Open().
class TPublishController : public QObject {
    Q_OBJECT
public:
    TPublishController();
    // A publish still running is cancelled and waited for.
    ~TPublishController() override;

    // Publishes this wizard's page from now on.
    void Attach(TForm3* wizard);
    // Shows the window, or brings it to the front. Throws when the plugin
    // cannot be loaded.
    void Open();
    // The window while there is one.
    QWidget* Window() const { return window_.get(); }
    // The plugin's file; tests name one that is not there.
    void SetPluginFile(const QString& path) { pluginFile_ = path; }

private slots:
    // "Veröffentlichen" pressed in the window: the wizard settles its page
    // (asking over the window whether to finish first), then the window
    // gets it.
    void SettlePage();

private:
    QString PageFile() const;
    void PlaceOverWizard();

    QPointer<TForm3> wizard_;
    QString pluginFile_;
    std::unique_ptr<QWidget> window_;
    IPublishWindow* publishWindow_ = nullptr;
};
