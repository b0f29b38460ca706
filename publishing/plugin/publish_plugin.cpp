// The plugin's root: it makes the window "Veröffentlichen", which brings the
// transfers, the SSH library and the keyring with it.

#include <QObject>
#include <QWidget>

#include "publishing/plugin/publish_window.h"
#include "publishing/publish_engine.h"

class TPublishEngine : public QObject, public IPublishEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TAVIREL_PUBLISH_ENGINE_IID)
    Q_INTERFACES(IPublishEngine)
public:
    std::unique_ptr<QWidget> CreateWindow() override { return std::make_unique<TForm4>(); }
};

#include "publish_plugin.moc"
