#pragma once

// Chromium's sandbox refuses to run as root, and the engine reads the
// choice once, when it starts: every program that starts the engine calls
// this before it does.

#include <unistd.h>

#include <QtGlobal>

namespace preview {

// As root the engine runs without its sandbox; elsewhere with it, unless the
// environment already says otherwise.
inline void ChooseEngineSandbox() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

}  // namespace preview
