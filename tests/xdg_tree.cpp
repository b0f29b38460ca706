#include "xdg_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace testsupport {
namespace {

const char* const kVariables[] = {
    "XDG_CONFIG_HOME",     "XDG_CONFIG_DIRS", "XDG_DATA_HOME",    "XDG_DATA_DIRS", "XDG_STATE_HOME",
    "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "BROWSER",       "PATH"};

}  // namespace

TXdgTree::TXdgTree() {
    const QByteArray path = qgetenv("PATH");
    for (const char* name : kVariables) {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qunsetenv(name);
    }
    const QString root = dir_.path();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root + "/etc"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + "/home"));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(root + "/data"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(root + "/state"));
    qputenv("PATH", QFile::encodeName(root + "/bin:") + path);
}

TXdgTree::~TXdgTree() {
    for (const auto& [name, value] : saved_) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

void TXdgTree::Write(const QString& path, const QByteArray& content, bool executable) const {
    const QString file = dir_.filePath(path);
    QFile out(file);
    if (!QDir().mkpath(QFileInfo(file).path()) || !out.open(QIODevice::WriteOnly) ||
        out.write(content) != content.size() ||
        (executable && !out.setPermissions(out.permissions() | QFileDevice::ExeOwner)))
        throw std::runtime_error("cannot write " + file.toStdString());
}

}  // namespace testsupport
