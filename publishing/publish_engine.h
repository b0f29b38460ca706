#pragma once

// What the program knows of publishing: the window and the transfers behind
// it are a Qt plugin, loaded on the first "Veröffentlichen", so that the
// program starts without the SSH library and the keyring and runs where
// they are not installed.

#include <QString>
#include <QtPlugin>
#include <memory>

class QWidget;

// The written page file to send, or why there is none.
struct TPageToSend {
    QString file;    // absolute; empty when there is none
    QString reason;  // empty when the user dropped the publish
};

// The page the window publishes, as the wizard has it.
class IPublishSource {
public:
    virtual ~IPublishSource() = default;
    // The absolute path of the page file as the wizard names it now; what
    // the window remembers is kept per page file.
    virtual QString PageFile() const = 0;
    // The written page file to send, once the user has answered whether to
    // finish first. Questions are asked over the asking window.
    virtual TPageToSend PageToSend(QWidget* asking) = 0;
};

// The plugin's root object.
class IPublishEngine {
public:
    virtual ~IPublishEngine() = default;
    // The window "Veröffentlichen" for the page of this source, which must
    // outlive it. The caller shows it.
    virtual std::unique_ptr<QWidget> CreateWindow(IPublishSource& source) = 0;
};

#define TAVIREL_PUBLISH_ENGINE_IID "de.tavirel.PublishEngine/2"
Q_DECLARE_INTERFACE(IPublishEngine, TAVIREL_PUBLISH_ENGINE_IID)
