#include "transfer/publish_scene.h"

#include <cstdlib>
#include <filesystem>

namespace publishtest {
namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

std::size_t OpenDescriptors() {
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

}  // namespace

bool TAnswers::TrustUnknownHost(const std::string& host, const std::string& keyType, const std::string& fingerprint) {
    asked.push_back(host + " | " + keyType + " | " + fingerprint);
    return trust;
}

std::optional<std::string> TAnswers::KeyPassphrase(const std::filesystem::path& keyFile) {
    askedPassphrase.push_back(keyFile.filename().string());
    return passphrase;
}

bool TAnswers::MaySendPictures(const pictures::TPicturesDone& done, const std::vector<std::string>& notCleanable) {
    askedPictures.push_back(pictures::DoneLine(done));
    askedPictures.insert(askedPictures.end(), notCleanable.begin(), notCleanable.end());
    return trust;
}

void TProgress::Sending(const std::string& file, std::uint64_t sent, std::uint64_t size) {
    if (onSending) onSending(file, sent, size);
}

TPublishScene::TPublishScene(const std::string& pageHtml)
    : home(work.path() + "/home"),
      page(work.path() + "/page"),
      server(work.path() + "/server"),
      records(home + "/records") {
    testsupport::MakeDirectories(home);
    testsupport::MakeDirectories(page + "/bilder");
    testsupport::MakeDirectories(server);
    setenv("HOME", home.c_str(), 1);
    WriteFileBytes(page + "/index.html", pageHtml);
    login.host = "127.0.0.1";
}

transfer::TPublishResult TPublishScene::Publish() {
    plan = transfer::PlanPublish(page + "/index.html");
    if (beforePublish) beforePublish();
    last = transfer::Publish(plan, login, records, answers, progress, cancel, side);
    return last;
}

void TPublishScene::ExpectServerHasThePage() const {
    for (const std::string& file : plan.files) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(ReadFileBytes(server + "/" + file) == ReadFileBytes(page + "/" + file));
    }
}

void PublishOnce(TPublishScene& scene) {
    const transfer::TPublishResult first = scene.Publish();
    ASSERT_FALSE(first.error) << first.error->what();
    ASSERT_EQ(first.sent.size(), scene.plan.files.size());
}

void ExpectPublishLeaves(TPublishScene& scene, const TExpected& expected) {
    const std::map<std::string, std::string> stampsBefore = testsupport::Stamps(scene.server);
    const std::size_t openBefore = OpenDescriptors();
    const transfer::TPublishResult result = scene.Publish();
    // A connection leaves nothing open behind it, whatever ended it.
    EXPECT_EQ(OpenDescriptors(), openBefore);
    ExpectStop(result.error, expected.error);
    EXPECT_EQ(result.sent, expected.sent);
    EXPECT_EQ(result.unchanged, expected.unchanged);
    if (expected.serverTree) {
        EXPECT_EQ(testsupport::Tree(scene.server), expected.serverTree);
    }
    // Nothing sent is nothing rewritten: the server's times stay.
    if (expected.sent.empty() && !expected.error) {
        EXPECT_EQ(testsupport::Stamps(scene.server), stampsBefore);
    }
}

void ExpectStop(const std::optional<transfer::TTransferError>& error, const TExpectedStop& expected) {
    if (!expected) {
        EXPECT_FALSE(error) << error->what();
        return;
    }
    ASSERT_TRUE(error);
    SCOPED_TRACE(error->what());
    EXPECT_EQ(error->fault(), expected->fault);
    EXPECT_EQ(error->cause(), expected->cause);
    EXPECT_EQ(error->then() ? std::optional(error->then()->fault()) : std::nullopt, expected->then);
}

void ExpectPasswordInNoFile(const TPublishScene& scene) {
    if (scene.login.password.empty()) return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scene.home))
        if (entry.is_regular_file()) {
            EXPECT_EQ(ReadFileBytes(entry.path()).find(scene.login.password), std::string::npos) << entry.path();
        }
}

}  // namespace publishtest
