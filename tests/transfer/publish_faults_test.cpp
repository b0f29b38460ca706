// The publish steps against a server in memory that fails where it is told:
// what no real server does on cue, and every call of every kind made to fail
// once (and the line lost there), with what the server holds afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/files.h"
#include "support/memory_server.h"
#include "transfer/publish_scene.h"
#include "transfer/publish_steps.h"

namespace {

using publishtest::TStop;
using testsupport::TMemoryServer;
using transfer::TCause;
using transfer::TFault;
using TCall = TMemoryServer::TCall;
using TError = std::optional<transfer::TTransferError>;

// Others' files, which no publish of this page may touch.
const std::map<std::string, std::string> kForeign = {
    {"fremd.txt", "fremd"}, {"x.tavirel-alt", "anderes x"}, {"bilder/y.jpg.tavirel-neu", "halbes y"}};
const char* const kWhole =
    "bilder/\nbilder/a.jpg\nbilder/y.jpg.tavirel-neu\nfremd.txt\nindex.html\nlogo.gif\nneu/\nneu/c.jpg\nx.tavirel-"
    "alt\n";

std::string Old(const std::string& file) {
    return "alt " + file;
}

std::string New(const std::string& file) {
    return "neu " + file + std::string(100, 'n');
}

// A page published once, then changed, with a picture in a new folder; on
// the server what an interrupted publish left (a.jpg only as its backup, a
// half temporary logo.gif) beside others' files.
struct TStand {
    explicit TStand(const std::string& folder) : records(folder + "/.aufzeichnung") {
        testsupport::MakeDirectories(folder);
        plan.folder = folder;
        plan.files = {"index.html", "bilder/a.jpg", "logo.gif"};
        for (const std::string& file : plan.files) Write(file, Old(file));
        EXPECT_FALSE(Publish().error);
        plan.files.push_back("neu/c.jpg");
        for (const std::string& file : plan.files) Write(file, New(file));
        auto moved = server.files.extract("bilder/a.jpg");
        moved.key() += ".tavirel-alt";
        server.files.insert(std::move(moved));
        server.files["logo.gif.tavirel-neu"] = {"halb"};
        for (const auto& [path, bytes] : kForeign) server.files[path] = {bytes};
    }

    // Nothing published yet, nothing on the server.
    struct TEmpty {};
    TStand(const std::string& folder, TEmpty) : records(folder + "/.aufzeichnung") { plan.folder = folder; }

    // Where `start` is, its record copied to `records` (the table's many
    // stands share one page and its first publish).
    TStand(const TStand& start, const std::string& recordFolder)
        : server(start.server), plan(start.plan), records(recordFolder) {
        std::filesystem::copy(start.records, records);
    }

    void Write(const std::string& file, const std::string& bytes) {
        const std::string path = plan.folder.string() + "/" + file;
        testsupport::MakeDirectories(path.substr(0, path.rfind('/')));
        testsupport::WriteFileBytes(path, bytes);
    }

    transfer::TPublishResult Publish() {
        transfer::TSentRecord record(records, "speicher");
        transfer::TPublishResult result;
        try {
            transfer::RunPublishSteps(plan, transfer::TWebCopies{}, server, "", record, progress, cancel, result);
        } catch (const transfer::TTransferError& error) {
            result.error = error;
        }
        return result;
    }

    TMemoryServer server;
    transfer::TPublishPlan plan;
    std::filesystem::path records;
    publishtest::TProgress progress;
    std::atomic<bool> cancel = false;
};

// Each file of the page whole, old or new; one that is missing lies whole
// under its backup name, and the error says so unless it was missing
// before (a.jpg); others' files untouched.
void ExpectNothingLost(const TStand& stand, const TError& error) {
    for (const std::string& file : stand.plan.files) {
        const std::string now = stand.server.Bytes(file);
        const std::string old = file == "neu/c.jpg" ? "<missing>" : Old(file);
        if (now == "<missing>" && now != old) {
            EXPECT_EQ(stand.server.Bytes(file + ".tavirel-alt"), old) << file;
            if (file != "bilder/a.jpg") {
                ASSERT_TRUE(error && error->then()) << file;
                EXPECT_EQ(error->then()->fault(), TFault::FileMissingUntilNextPublish) << error->what();
                EXPECT_EQ(error->then()->subject(), file) << error->what();
            }
        } else {
            EXPECT_TRUE(now == old || now == New(file)) << file << ": " << now;
        }
    }
    for (const auto& [path, bytes] : kForeign) EXPECT_EQ(stand.server.Bytes(path), bytes);
}

void ExpectWholeAgain(TStand& stand) {
    stand.server.Heal();
    EXPECT_FALSE(stand.Publish().error);
    EXPECT_EQ(stand.server.Tree(), kWhole);
    for (const std::string& file : stand.plan.files) EXPECT_EQ(stand.server.Bytes(file), New(file)) << file;
}

TEST(PublishFaults, EveryFailingCallLeavesThePageWholeAndTheNextPublishMends) {
    const testsupport::TScratchFolder scratch("faults");
    const TStand start(scratch.path());
    int stands = 0;
    // Also on a server that replaces a file whole (object storage).
    for (const bool whole : {false, true})
        for (const TCall call : TMemoryServer::kCalls)
            for (const bool cut : {false, true})
                for (int n = 1;; ++n) {
                    SCOPED_TRACE(testing::Message() << "call kind " << static_cast<int>(call) << ", number " << n
                                                    << (cut ? ", line lost" : "") << (whole ? ", replaced whole" : ""));
                    TStand stand(start, scratch.path() + "/" + std::to_string(++stands));
                    stand.server.replacesWhole = whole;
                    stand.server.FailAt(call, n, 1, cut);
                    const TError error = stand.Publish().error;
                    const bool reached = stand.server.Calls(call) >= n;
                    ExpectNothingLost(stand, error);
                    ExpectWholeAgain(stand);
                    if (reached) continue;
                    // Object storage is never asked about one file.
                    if (!whole || call != TCall::Stat) {
                        EXPECT_GT(n, 1) << "never called";
                    }
                    break;
                }
}

// Object storage tells an object's time only in its listings, taken every
// hundred files: a line lost late in a long publish costs the files since
// the last listing, and nothing goes twice after that.
TEST(PublishFaults, ObjectStorageSendsAgainOnlyWhatCameAfterItsLastListing) {
    const testsupport::TScratchFolder scratch("whole");
    TStand stand(scratch.path(), TStand::TEmpty{});
    stand.server.replacesWhole = true;
    for (int i = 0; i < 250; ++i) {
        stand.plan.files.push_back("bilder/" + std::to_string(1000 + i) + ".jpg");
        stand.Write(stand.plan.files.back(), New(stand.plan.files.back()));
    }
    stand.server.FailAt(TCall::Upload, 230, 1, true);
    EXPECT_TRUE(stand.Publish().error);
    stand.server.Heal();
    const std::vector<std::string>& files = stand.plan.files;
    EXPECT_EQ(stand.Publish().sent, std::vector<std::string>(files.begin() + 200, files.end()));
    EXPECT_EQ(stand.Publish().sent, std::vector<std::string>{});
}

struct TFaultRow {
    const char* name;
    std::function<void(TStand&)> before;
    publishtest::TExpectedStop error;
    std::function<void(TStand&, const transfer::TPublishResult&)> after;
};

// The renames: 1 puts a.jpg back, 2 and 3 swap index.html; the removals: 1
// tidies logo.gif's half file, 2 removes index.html's backup. A half file
// this publish sends again goes under its new bytes, whoever may delete it:
// the one that stays belongs to a file the page no longer names.
const TFaultRow kRows[] = {
    {"RefusedRenamePutsTheOldFileBack", [](TStand& stand) { stand.server.FailAt(TCall::Rename, 3); },
     TStop{TFault::NotRenamed, TCause::ServerError, TFault::FileStays},
     [](TStand& stand, const transfer::TPublishResult&) {
         EXPECT_EQ(stand.server.Bytes("index.html"), Old("index.html"));
         EXPECT_EQ(stand.server.Bytes("index.html.tavirel-alt"), "<missing>");
     }},
    {"RenameAndPutBackRefused", [](TStand& stand) { stand.server.FailAt(TCall::Rename, 3, 2); },
     TStop{TFault::NotRenamed, TCause::ServerError, TFault::FileMissingUntilNextPublish},
     [](TStand& stand, const transfer::TPublishResult&) { EXPECT_EQ(stand.server.Bytes("index.html"), "<missing>"); }},
    {"LeftoverThatCannotBeDeletedStays",
     [](TStand& stand) {
         std::erase(stand.plan.files, "logo.gif");
         stand.server.FailAt(TCall::Remove, 1);
     },
     std::nullopt,
     [](TStand& stand, const transfer::TPublishResult& result) {
         EXPECT_EQ(stand.server.Bytes("logo.gif.tavirel-neu"), "halb");
         EXPECT_EQ(result.sent, stand.plan.files);
     }},
    {"OldFileThatCannotBeDeletedIsNoted", [](TStand& stand) { stand.server.FailAt(TCall::Remove, 2); }, std::nullopt,
     [](TStand& stand, const transfer::TPublishResult& result) {
         EXPECT_EQ(stand.server.Bytes("index.html"), New("index.html"));
         ASSERT_EQ(result.notes.size(), 1u);
         EXPECT_EQ(result.notes[0].fault(), TFault::NotRemoved);
         ASSERT_TRUE(result.notes[0].then());
         EXPECT_EQ(result.notes[0].then()->fault(), TFault::OldFileBeside);
         EXPECT_EQ(result.notes[0].then()->subject(), "index.html");
     }},
    {"LeftoverOfAFileNoLongerNamedTidied",
     [](TStand& stand) {
         // The line lost while sending neu/c.jpg the first time; then the
         // page stops naming it.
         stand.server.FailAt(TCall::Upload, 4, 1, true);
         stand.Publish();
         stand.server.Heal();
         std::erase(stand.plan.files, "neu/c.jpg");
     },
     std::nullopt,
     [](TStand& stand, const transfer::TPublishResult&) {
         EXPECT_EQ(stand.server.Bytes("neu/c.jpg.tavirel-neu"), "<missing>");
         stand.plan.files.push_back("neu/c.jpg");
     }},
    {"CancelledWithinAFileKeepsTheOldOne",
     [](TStand& stand) {
         stand.progress.onSending = [&stand](const std::string& file, std::uint64_t sent, std::uint64_t) {
             if (file == "index.html" && sent > 0) stand.cancel = true;
         };
     },
     std::nullopt,
     [](TStand& stand, const transfer::TPublishResult& result) {
         EXPECT_TRUE(result.cancelled);
         EXPECT_EQ(stand.server.Bytes("index.html"), Old("index.html"));
         EXPECT_EQ(stand.server.Bytes("index.html.tavirel-neu"), "<missing>");
         stand.progress.onSending = nullptr;
         stand.cancel = false;
     }},
    {"CancelledBeforeTheFirstFileSendsNothing",
     [](TStand& stand) {
         stand.cancel = true;
         stand.server.FailAt(TCall::Upload, 0, 0);
     },
     std::nullopt,
     [](TStand& stand, const transfer::TPublishResult& result) {
         EXPECT_TRUE(result.cancelled);
         EXPECT_EQ(stand.server.Calls(TCall::Upload), 0);
         stand.cancel = false;
     }},
    // A call that fails once the publish is cancelled is how a stall ends:
    // the tidy stops there too.
    {"CancelledWhileTidying",
     [](TStand& stand) {
         stand.cancel = true;
         stand.server.FailAt(TCall::Remove, 1);
     },
     TStop{TFault::NotRemoved, TCause::ServerError},
     [](TStand& stand, const transfer::TPublishResult&) { stand.cancel = false; }},
    {"FolderOnlyTheRecordNamesUnreadable",
     [](TStand& stand) {
         std::erase(stand.plan.files, "bilder/a.jpg");
         stand.server.FailAt(TCall::List, 2);
     },
     std::nullopt,
     [](TStand& stand, const transfer::TPublishResult&) {
         EXPECT_EQ(stand.server.Bytes("bilder/a.jpg.tavirel-alt"), Old("bilder/a.jpg"));
         stand.plan.files.insert(stand.plan.files.begin() + 1, "bilder/a.jpg");
     }},
    {"FolderInTheFilesPlaceStays",
     [](TStand& stand) {
         stand.server.files.erase("logo.gif");
         stand.server.folders.insert("logo.gif");
     },
     TStop{TFault::FolderInFilePlace},
     [](TStand& stand, const transfer::TPublishResult&) {
         stand.server.folders.erase("logo.gif");
         stand.server.files["logo.gif"] = {Old("logo.gif")};
     }},
    // Renames 4 and 5 swap a.jpg, 6 and 7 logo.gif, 8 puts neu/c.jpg in place.
    {"RefusedRenameOfANewFile", [](TStand& stand) { stand.server.FailAt(TCall::Rename, 8); },
     TStop{TFault::NotRenamed, TCause::ServerError, TFault::FileNotSent},
     [](TStand& stand, const transfer::TPublishResult&) { EXPECT_EQ(stand.server.Bytes("neu/c.jpg"), "<missing>"); }},
};

class PublishFaultRows : public testing::TestWithParam<TFaultRow> {};

TEST_P(PublishFaultRows, LeaveTheServerAsExpected) {
    const TFaultRow& row = GetParam();
    const testsupport::TScratchFolder scratch("faults");
    TStand stand(scratch.path());
    row.before(stand);
    const transfer::TPublishResult result = stand.Publish();
    publishtest::ExpectStop(result.error, row.error);
    row.after(stand, result);
    ExpectNothingLost(stand, result.error);
    ExpectWholeAgain(stand);
}

void PrintTo(const TFaultRow& row, std::ostream* out) {
    *out << row.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, PublishFaultRows, testing::ValuesIn(kRows), publishtest::RowName<TFaultRow>);

}  // namespace
