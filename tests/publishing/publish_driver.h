#pragma once

// Drives "Veröffentlichen" the way a user does: the start window, the
// wizard, the window the plugin makes, and the boxes it raises on the way.

#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>

#include "app/start_window.h"

class QWidget;

// gtest shows a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace publishtest {

// What the boxes said, in order, and each one's caption.
struct TBoxes {
    QStringList texts;
};

// Runs the action; each box or dialog it raises (on the window's thread,
// from a question of the transfer too) gets the next answer: a button's
// caption ("&Ja", "&Nein"), a text typed into an input dialog, or "Escape".
// A box beyond the answers is left with Escape.
TBoxes Answering(const std::function<void()>& action, const QStringList& answers);

class TPublishDriver {
public:
    TPublishDriver();

    // The wizard's "HTML Code" page, then "Veröffentlichen"; the window.
    QWidget* Open();
    // Types into a field of the window "Veröffentlichen".
    void Type(const char* field, const QString& text);
    // "Veröffentlichen" in the window, answering the boxes that come before
    // and while the page goes up, until the result line shows (or 60 s).
    TBoxes Publish(const QStringList& answers = {});
    // The result line; empty when nothing was started.
    QString ResultLine();

    TForm1 start;
    TForm3* wizard = nullptr;
    QWidget* window = nullptr;
};

}  // namespace publishtest
