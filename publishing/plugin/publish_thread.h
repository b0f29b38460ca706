#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "transfer/fetch.h"
#include "transfer/online_check.h"
#include "transfer/publish.h"

// One publish, or one fetch, at a time on a thread of its own, so that the
// window never waits for the line. Its questions and its progress reach the window's
// thread: a question blocks the transfer until the user has answered.
class TPublishThread : public QObject {
    Q_OBJECT
public:
    // The answers, given on the window's thread.
    struct TAnswers {
        std::function<bool(const QString& host, const QString& keyType, const QString& fingerprint)> trustHost;
        std::function<std::optional<QString>(const QString& keyFile)> passphrase;
        std::function<bool(const pictures::TPicturesDone& done, const std::vector<std::string>& notCleanable)>
            sendPictures;
    };
    // Progress and the end, called on the window's thread.
    struct TReports {
        std::function<void(const QString& file, quint64 sent, quint64 size)> sending;
        // The picture being rebuilt for the web, before anything is sent.
        std::function<void(const QString& file)> preparing;
        std::function<void(const transfer::TPublishResult& result)> finished;
        // The check online of a publish that went through: nothing when it
        // begins, then what it found; both before finished().
        std::function<void(const std::optional<transfer::TOnlineCheck>& check)> checked;
        std::function<void(const transfer::TFetchResult& result)> fetched;
    };

    TPublishThread(TAnswers answers, TReports reports);
    // Cancels a publish still running and waits for it.
    ~TPublishThread() override;

    // With an address ("Adresse der Seite im Netz"), a publish that went
    // through ends with the check online. Pictures go scaled to
    // `pictureSide` (pictures::kNoScaling: at their own size).
    void Start(const transfer::TPublishPlan& plan, const transfer::TServerLogin& login,
               const std::filesystem::path& recordFolder, const std::string& address, int pictureSide);
    // "Vom Server holen": the site into the order's folder; fetched() comes
    // at the end. The progress reports the files as they come.
    void StartFetch(const transfer::TFetchOrder& order, const transfer::TServerLogin& login,
                    const std::filesystem::path& recordFolder);
    // The transfer stops at its next look; finished() or fetched() still
    // comes.
    void Cancel() { cancel_ = true; }
    bool Running() const { return worker_.joinable(); }

private:
    class TBridge;
    void Run(transfer::TPublishPlan plan, transfer::TServerLogin login, std::filesystem::path recordFolder,
             std::string address, int pictureSide);
    void RunFetch(transfer::TFetchOrder order, transfer::TServerLogin login, std::filesystem::path recordFolder);
    void Check(const transfer::TPublishPlan& plan, const std::string& address);
    // Calls `report` on the window's thread, behind the progress reports,
    // once the run has ended.
    void Report(std::function<void()> report);

    TAnswers answers_;
    TReports reports_;
    std::atomic<bool> cancel_ = false;
    std::atomic<bool> done_ = false;
    std::thread worker_;
};
