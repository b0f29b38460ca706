#pragma once

#include <QStringList>
#include <QUrl>

namespace ui {

// The command line, program first, that opens url in the desktop's web
// browser: the entry the desktop names as its web browser, else the handler
// of https and then of http links, read from its desktop entry in the XDG
// data folders with the Exec field codes replaced. Never this program, which
// lists itself for HTML files and would otherwise open its own pages. Empty
// when no web browser is known.
QStringList WebBrowserCommand(const QUrl& url);

// Starts the web browser on url; without one known, hands url to the
// desktop's opener (xdg-open). False when nothing could be started.
bool OpenInWebBrowser(const QUrl& url);

}  // namespace ui
