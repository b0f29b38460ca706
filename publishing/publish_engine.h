#pragma once

// What the program knows of publishing: the window and the transfers behind
// it are a Qt plugin, loaded on the first "Veröffentlichen", so that the
// program starts without the SSH library and the keyring and runs where
// they are not installed.
//
// The window only sends: when the user presses its "Veröffentlichen", it
// says so (its signal PublishPressed()), and the program settles which
// written page goes (finishing it first when the user wants) and hands that
// down with Send(). Nothing in the plugin asks the wizard.

#include <QString>
#include <QtPlugin>
#include <memory>

#include "wizard/page_as_written.h"

class QWidget;

// The window "Veröffentlichen", as the program drives it.
class IPublishWindow {
public:
    virtual ~IPublishWindow() = default;
    // The absolute path of the page file the window is for; what it
    // remembers is kept per page file.
    virtual void SetPageFile(const QString& file) = 0;
    // The written page to send, or why there is none (nothing when the user
    // dropped it).
    virtual void Send(const TPageAsWritten& page) = 0;
};

#define TAVIREL_PUBLISH_WINDOW_IID "de.tavirel.PublishWindow/1"
Q_DECLARE_INTERFACE(IPublishWindow, TAVIREL_PUBLISH_WINDOW_IID)

// The plugin's root object.
class IPublishEngine {
public:
    virtual ~IPublishEngine() = default;
    // The window "Veröffentlichen"; it is an IPublishWindow and has the
    // signal PublishPressed(). The caller shows it.
    virtual std::unique_ptr<QWidget> CreateWindow() = 0;
};

#define TAVIREL_PUBLISH_ENGINE_IID "de.tavirel.PublishEngine/3"
Q_DECLARE_INTERFACE(IPublishEngine, TAVIREL_PUBLISH_ENGINE_IID)
