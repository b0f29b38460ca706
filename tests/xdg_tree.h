#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <utility>
#include <vector>

namespace testsupport {

// For one test, the desktop's configuration is a fresh scratch tree: the XDG
// folders (the state folder too, where a save in place keeps its copy)
// point into it, its "bin" folder comes first in PATH, and no
// desktop or $BROWSER is named, so looking for a web browser sees only what
// the test writes (and starts no real one). Everything is put back afterwards.
class TXdgTree {
public:
    TXdgTree();
    ~TXdgTree();
    // Writes a file below the tree: "config/mimeapps.list" is the user's
    // choice of programs, "data/applications/" holds the desktop entries,
    // "bin/" the installed programs (executable).
    void Write(const QString& path, const QByteArray& content, bool executable = false) const;
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

}  // namespace testsupport
