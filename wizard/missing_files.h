#pragma once

// The line under the code view that names what the written page refers to
// but its folder lacks: a name typed wrong stays invisible until the page
// is looked at, and a slip of letter case only on the web server.

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class QThreadPool;

namespace core {
class TLineList;
}
namespace ui {
class TElidedLabel;
}

namespace wizard {

struct TMissingFilesLine {
    QString line;
    QString longForm;  // the tooltip of a shortened line
};

// Looks for the names (UTF-8, relative to the folder or rooted) on disk.
// No window involved: it may run on any thread.
TMissingFilesLine CheckMissingFiles(const QString& folder, const std::vector<std::string>& names);

// The check of one finish's page, on a worker thread, so that the window
// stays free while thousands of pictures are looked for. A new Start or a
// Clear makes a check still running count for nothing.
class TMissingFilesCheck : public QObject {
    Q_OBJECT
public:
    explicit TMissingFilesCheck(ui::TElidedLabel* line);
    // The folder and the page are taken now; the line shows the result
    // once the check ends.
    void Start(const QString& folder, std::shared_ptr<const core::TLineList> page);
    // Empties the line.
    void Clear();
    bool IsRunning() const { return running_; }

signals:
    // The line shows the result of the last Start.
    void Ended();

private:
    void Show();

    ui::TElidedLabel* line_;
    QThreadPool* worker_;
    QFutureWatcher<TMissingFilesLine> watcher_;
    bool running_ = false;
};

}  // namespace wizard
