#pragma once

// Helpers that let GUI tests act as a user: find a control by its name,
// click it, type into it, and read the message box it raises.

#include <gtest/gtest.h>

#include <QDir>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <string>

#include "support/files.h"

namespace testsupport {

template <typename T = QWidget>
T* Find(QWidget* root, const QString& name) {
    T* found = root->findChild<T*>(name);
    if (found == nullptr) throw std::runtime_error("no control named " + name.toStdString());
    return found;
}

void Click(QWidget* widget);
// Replaces the edit's text by typing, the way a user would.
void Retype(QWidget* edit, const QString& text);
// Types at the cursor; any character, "ü" and "€" included.
void Type(QWidget* widget, const QString& text);
void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Clicks the tab whose page has this object name.
void ShowPage(QWidget* window, const QString& pageName);
// Clicks the tab whose page holds the control.
void ShowPageHolding(QWidget* control);

struct TMessageBoxSeen {
    int shown = 0;  // how many boxes came
    QString caption;
    QString text;
    bool errorIcon = false;
    bool questionIcon = false;
    QStringList buttons;  // their captions, in the box's order
    QString defaultButton;
    QString escapeButton;
    bool plainText = false;
};
// Runs the action; every message box it raises is closed with OK, or with
// the button of this caption; the first one is read.
TMessageBoxSeen WithMessageBox(const std::function<void()>& action, const QString& answer = QString());

// Runs the action; the file dialog it opens is answered by typing this name
// and pressing Enter, or with Escape when the name is empty. False when no
// dialog came. The captions of its buttons, "&" left out, go to buttons.
bool WithFileDialog(const std::function<void()>& action, const QString& fileName, QStringList* buttons = nullptr);

// While it lives, every file: URL the program asks the desktop to open ends
// up here instead of in a browser.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    TUrlCatcher();
    ~TUrlCatcher() override;
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

// The caption of the program's boxes in the test program, gui_tests.
inline QString ExpectedApplicationTitle() {
    return QStringLiteral("gui_tests");
}

}  // namespace testsupport
