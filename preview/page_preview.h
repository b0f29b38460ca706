#pragma once

// What the program knows of the preview engine: the engine itself is a Qt
// plugin, loaded when the preview is first opened, so that the program
// starts without it and runs where it is not installed.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtPlugin>
#include <functional>
#include <memory>

class QWidget;

// One preview window and the page it shows.
class IPagePreview {
public:
    virtual ~IPagePreview() = default;
    // The top-level window; the caller shows, places and captions it.
    virtual QWidget* Window() = 0;
    // Shows these page bytes (Windows-1252) as the file at this absolute
    // path would show, relative names found from its folder; the scroll
    // position stays where the user left it.
    virtual void ShowPage(const QByteArray& page, const QString& filePath) = 0;
    // Called, after the event that caused it, with every link the user
    // follows in the preview (a local page as a file: URL); the preview
    // itself keeps its page and opens nothing.
    virtual void OnLinkFollowed(std::function<void(const QUrl&)> open) = 0;
};

// The plugin's root object.
class IPagePreviewEngine {
public:
    virtual ~IPagePreviewEngine() = default;
    virtual std::unique_ptr<IPagePreview> CreatePreview() = 0;
};

#define TAVIREL_PAGE_PREVIEW_ENGINE_IID "de.tavirel.PagePreviewEngine/2"
Q_DECLARE_INTERFACE(IPagePreviewEngine, TAVIREL_PAGE_PREVIEW_ENGINE_IID)
