#pragma once

// One headless Chromium for a whole test program, driven over its DevTools
// pipe: it loads pages one after another in one tab and evaluates script in
// the document it built.

#include <sys/types.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

#include "support/files.h"

namespace browsertest {

class TChromiumSession {
public:
    // Starts Chromium; throws std::runtime_error saying why it could not.
    TChromiumSession();
    // Not copied: the scratch profile folder and the process are its own.
    ~TChromiumSession();

    // Loads the page, waits for its load event, and returns what the
    // expression evaluates to in it.
    QJsonValue Evaluate(const QUrl& url, const QString& expression);
    // From now on the tab is a phone's screen of this many CSS pixels,
    // touch and all: a page without a viewport of its own is laid out 980
    // pixels wide and shrunk to fit.
    void EmulatePhone(int width, int height);
    // The accessibility tree of the page loaded last, its nodes as the
    // DevTools protocol gives them.
    QJsonArray AccessibilityNodes();

private:
    QJsonObject Call(const QString& method, const QJsonObject& params = {});
    QJsonObject WaitFor(const std::function<bool(const QJsonObject&)>& wanted);
    void Send(const QJsonObject& message);
    QJsonObject Receive();
    [[noreturn]] void Fail(const std::string& what);

    testsupport::TScratchFolder profile_{"chromium"};
    pid_t pid_ = -1;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    QByteArray received_;
    int lastId_ = 0;
    QString sessionId_;
};

}  // namespace browsertest
