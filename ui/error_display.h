#pragma once

// Every error that leaves an event handler ends here: a modal box with the
// application's title, an error icon and the message.

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace ui {

// The program file's name without directory and without everything from its
// first "."; every character after the first in lower case.
QString ApplicationTitle();
// The same rule for any program path.
QString ApplicationTitleFromPath(const QString& programPath);

// The message plus a full stop when its last character comes after ".".
QString ErrorDisplayText(const QString& message);

// Modal box: error icon, OK, ApplicationTitle() as caption.
void ShowErrorDisplay(QWidget* parent, const QString& message);

// Runs one handler; whatever it throws ends in the error display.
void RunGuarded(QWidget* parent, const std::function<void()>& handler);

// Connects a signal to a window's handler through RunGuarded, so that no
// exception ever reaches Qt's event loop.
template <typename Sender, typename Signal, typename Window>
void ConnectGuarded(Sender* sender, Signal signal, Window* window, void (Window::*handler)()) {
    QObject::connect(sender, signal, window,
                     [window, handler] { RunGuarded(window, [window, handler] { (window->*handler)(); }); });
}

}  // namespace ui
