#pragma once

// What the publishing rows of every way share: one publish's world (a
// page with pictures, a server's folder, HOME), answers to the questions a
// publish asks, and the row that says what the server's folder holds after.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/server_folder.h"
#include "transfer/publish.h"

namespace publishtest {

class TAnswers : public transfer::IPublishQuestions {
public:
    bool TrustUnknownHost(const std::string& host, const std::string& keyType, const std::string& fingerprint) override;
    std::optional<std::string> KeyPassphrase(const std::filesystem::path& keyFile) override;
    bool MaySendPictures(const pictures::TPicturesDone& done, const std::vector<std::string>& notCleanable) override;

    bool trust = true;
    std::optional<std::string> passphrase;
    std::vector<std::string> asked;  // "host | key type | fingerprint"
    std::vector<std::string> askedPassphrase;
    // What the question before sending said: its count line, then the
    // pictures it names as not sent.
    std::vector<std::string> askedPictures;
};

class TProgress : public transfer::IPublishProgress {
public:
    void Sending(const std::string& file, std::uint64_t sent, std::uint64_t size) override;
    void Preparing(const std::string& file) override { prepared.push_back(file); }
    std::function<void(const std::string&, std::uint64_t, std::uint64_t)> onSending;
    // The pictures rebuilt, in order.
    std::vector<std::string> prepared;
};

// A fresh HOME, an empty server folder, and a page naming the pictures the
// scene writes; the login is the server's to fill in.
struct TPublishScene {
    explicit TPublishScene(const std::string& pageHtml);
    TPublishScene(const TPublishScene&) = delete;
    TPublishScene& operator=(const TPublishScene&) = delete;

    transfer::TPublishResult Publish();
    // The files a publish of the page would leave on the server.
    void ExpectServerHasThePage() const;

    testsupport::TWorkDir work;
    std::string home, page, server, records;
    transfer::TServerLogin login;
    int side = pictures::kWebSide;
    transfer::TPublishPlan plan;
    transfer::TPublishResult last;
    TAnswers answers;
    TProgress progress;
    std::atomic<bool> cancel = false;
    // Before each publish: the login made from what the row changed.
    std::function<void()> beforePublish;
};

// The first publish, whole, as a row's start.
void PublishOnce(TPublishScene& scene);

// What stopped a publish, by its codes: what went wrong, why, and what that
// left of the file being sent.
struct TStop {
    transfer::TFault fault;
    transfer::TCause cause = transfer::TCause::None;
    std::optional<transfer::TFault> then = std::nullopt;
};
using TExpectedStop = std::optional<TStop>;  // none: nothing stopped it

void ExpectStop(const std::optional<transfer::TTransferError>& error, const TExpectedStop& expected);

// What a row expects of a publish, besides what `after` looks at.
struct TExpected {
    std::vector<std::string> sent;
    std::vector<std::string> unchanged;
    TExpectedStop error;
    const char* serverTree;  // nullptr: the row's `after` looks
};

// Publishes in the scene, then checks what every publish must leave: the
// lists and the message, the server's folder, nothing rewritten when nothing
// was sent, no descriptor left open.
void ExpectPublishLeaves(TPublishScene& scene, const TExpected& expected);
// The password goes to the server only, never into a file here.
void ExpectPasswordInNoFile(const TPublishScene& scene);

// One row on a scene of kind TScene, made from a TKind (which server); the
// row runs once on each of its servers.
template <class TScene, class TKind>
struct TRow {
    const char* name;
    std::vector<TKind> servers;
    std::function<void(TScene&)> before;  // earlier publishes, answers, edits here and there
    std::vector<std::string> sent;
    std::vector<std::string> unchanged;
    TExpectedStop error;
    const char* serverTree;
    std::function<void(TScene&)> after = nullptr;  // what else the row shows
};

// A row on one of its servers: what a test runs.
template <class TScene, class TKind>
struct TRowOn {
    const TRow<TScene, TKind>* row;
    TKind server;
};

template <class TScene, class TKind, std::size_t N>
std::vector<TRowOn<TScene, TKind>> OnEachServer(const TRow<TScene, TKind> (&rows)[N]) {
    std::vector<TRowOn<TScene, TKind>> runs;
    for (const TRow<TScene, TKind>& row : rows)
        for (const TKind server : row.servers) runs.push_back({&row, server});
    return runs;
}

template <class TScene, class TKind>
void RunRow(const TRowOn<TScene, TKind>& run) {
    const TRow<TScene, TKind>& row = *run.row;
    TScene scene(run.server);
    if (row.before) row.before(scene);
    if (testing::Test::HasFatalFailure()) return;
    ExpectPublishLeaves(scene, {row.sent, row.unchanged, row.error, row.serverTree});
    if (row.after) row.after(scene);
    ExpectPasswordInNoFile(scene);
}

template <class TScene, class TKind>
void PrintTo(const TRowOn<TScene, TKind>& run, std::ostream* out) {
    *out << run.row->name;
}

template <class TParam>
std::string RowName(const testing::TestParamInfo<TParam>& info) {
    return info.param.name;
}

}  // namespace publishtest
