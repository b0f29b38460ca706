// The fetch steps against a server in memory that fails where it is told:
// every call a fetch makes made to fail once, and the line lost there. No
// file is ever half under its name, and the next fetch finishes the site.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/page_generator.h"
#include "support/files.h"
#include "support/memory_server.h"
#include "transfer/fetch_steps.h"
#include "transfer/publish_scene.h"

namespace {

using testsupport::TMemoryServer;
using TCall = TMemoryServer::TCall;

std::string Page(const std::string& link, const std::string& picture) {
    core::TPageDescription page;
    page.Links = {{"weiter", link}};
    page.Images = {{picture, ""}};
    return std::string(core::GeneratePage(page).FileBytes());
}

const char* const kSite = "bilder/\nbilder/a.jpg\nbilder/b.jpg\nhintergrund.jpg\nindex.html\nseite2.html\n";

struct TStand {
    explicit TStand(const std::string& folder) : here(folder + "/hier"), records(folder + "/aufzeichnung") {
        testsupport::MakeDirectories(folder);
        server.folders.insert("bilder");
        server.files = {{"index.html", {Page("seite2.html", "bilder/a.jpg")}},
                        {"seite2.html", {Page("index.html", "bilder/b.jpg")}},
                        {"bilder/a.jpg", {std::string(5000, 'a')}},
                        {"bilder/b.jpg", {std::string(7000, 'b')}},
                        {"hintergrund.jpg", {"h"}}};
    }

    transfer::TFetchResult Fetch() {
        transfer::TFetchResult result;
        try {
            transfer::TFetchFolder folder(here, "speicher");
            transfer::TSentRecord record(records, "speicher");
            transfer::RunFetchSteps({}, folder, server, "", record, progress, cancel, result);
        } catch (const transfer::TTransferError& error) {
            result.error = error;
        }
        return result;
    }

    // Every file here is whole, as the server has it: none is half under
    // its name.
    void ExpectNoHalfFile() const {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(here)) {
            const std::string name = entry.path().lexically_relative(here).string();
            if (entry.is_regular_file() && name != ".tavirel-holen") {
                EXPECT_EQ(testsupport::ReadFileBytes(entry.path()), server.Bytes(name)) << name;
            }
        }
    }

    void ExpectFinishedAgain() {
        server.Heal();
        const transfer::TFetchResult again = Fetch();
        EXPECT_TRUE(again.Whole()) << again.error->what();
        EXPECT_EQ(again.pages.size() + again.files.size(), server.files.size());
        EXPECT_EQ(testsupport::Tree(here), kSite);
        ExpectNoHalfFile();
    }

    TMemoryServer server;
    std::string here, records;
    publishtest::TProgress progress;
    std::atomic<bool> cancel = false;
};

TEST(FetchFaults, EveryFailingCallLeavesNoHalfFileAndTheNextFetchFinishes) {
    const testsupport::TScratchFolder scratch("fetch");
    int stands = 0;
    for (const TCall call : {TCall::List, TCall::Download})
        for (const bool cut : {false, true})
            for (int n = 1;; ++n) {
                SCOPED_TRACE(testing::Message() << "call kind " << static_cast<int>(call) << ", number " << n
                                                << (cut ? ", line lost" : ""));
                TStand stand(scratch.path() + "/" + std::to_string(++stands));
                stand.server.FailAt(call, n, 1, cut);
                const transfer::TFetchResult result = stand.Fetch();
                stand.ExpectNoHalfFile();
                if (stand.server.Calls(call) >= n) {
                    EXPECT_FALSE(result.Whole());
                    stand.ExpectFinishedAgain();
                    continue;
                }
                EXPECT_TRUE(result.Whole());
                EXPECT_EQ(testsupport::Tree(stand.here), kSite);
                EXPECT_GT(n, 1) << "never called";
                break;
            }
}

TEST(FetchFaults, CancelledWithinAFileLeavesNothingUnderItsName) {
    const testsupport::TScratchFolder scratch("fetch");
    TStand stand(scratch.path());
    stand.progress.onSending = [&stand](const std::string& file, std::uint64_t got, std::uint64_t) {
        if (file == "bilder/b.jpg" && got > 0) stand.cancel = true;
    };
    const transfer::TFetchResult result = stand.Fetch();
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(std::filesystem::exists(stand.here + "/bilder/b.jpg"));
    stand.ExpectNoHalfFile();
    stand.cancel = false;
    stand.progress.onSending = nullptr;
    stand.ExpectFinishedAgain();
}

// A picture fetched before the line was lost, changed on the server since:
// the fetch that goes on brings the new one, so that no publish sends the
// old one back over it.
TEST(FetchFaults, FileChangedOnTheServerMeanwhileComesAgain) {
    const testsupport::TScratchFolder scratch("fetch");
    TStand stand(scratch.path());
    stand.server.FailAt(TCall::Download, 5, 1, true);
    ASSERT_FALSE(stand.Fetch().Whole());
    ASSERT_EQ(testsupport::ReadFileBytes(stand.here + "/bilder/a.jpg"), std::string(5000, 'a'));
    stand.server.files["bilder/a.jpg"] = {"neu", 5000};
    stand.ExpectFinishedAgain();
}

TEST(FetchFaults, FolderThatIsNotEmptyIsNeverMerged) {
    const testsupport::TScratchFolder scratch("fetch");
    TStand stand(scratch.path());
    testsupport::MakeDirectories(stand.here);
    testsupport::WriteFileBytes(stand.here + "/index.html", "meine");
    const transfer::TFetchResult result = stand.Fetch();
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->fault(), transfer::TFault::FolderHereNotEmpty);
    EXPECT_EQ(testsupport::DirectoryListing(stand.here), "index.html\n");
    EXPECT_EQ(testsupport::ReadFileBytes(stand.here + "/index.html"), "meine");
    EXPECT_EQ(stand.server.Calls(TCall::List), 0);
}

// An unfinished fetch goes on; a link put in its folder meanwhile leads
// nothing out of it.
TEST(FetchFaults, LinkInTheFolderHereIsNotFollowed) {
    const testsupport::TScratchFolder scratch("fetch");
    TStand stand(scratch.path());
    testsupport::MakeDirectories(stand.here);
    testsupport::MakeDirectories(scratch.path() + "/draussen");
    testsupport::WriteFileBytes(stand.here + "/.tavirel-holen", "speicher\n");
    std::filesystem::create_directory_symlink(scratch.path() + "/draussen", stand.here + "/bilder");
    const transfer::TFetchResult result = stand.Fetch();
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->fault(), transfer::TFault::FileHereNotKept);
    EXPECT_EQ(result.error->subject(), "bilder/a.jpg");
    EXPECT_EQ(testsupport::DirectoryListing(scratch.path() + "/draussen"), "");
}

}  // namespace
