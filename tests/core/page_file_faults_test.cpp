// Every way a save (or the copy of a picture beside the page) can go wrong
// must report the name (or the read or write error), keep the old file byte
// for byte and leave no temporary file; and unusual but workable
// surroundings must still give the whole file.
//
// Each scenario runs in a child process, because arranging the fault may
// drop privileges, mount file systems or filter system calls for good.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/page_file.h"
#include "default_page.h"
#include "page_file_support.h"

namespace {

using namespace page_file_support;
using core::TLineList;

const std::string kOldPage = "<html>alte Seite</html>\r\n";
const TLineList kNewLines = {"<html>", "neue Seite", "</html>"};
// Far more than the size limit below lets through.
const TLineList kBigLines = [] {
    TLineList lines;
    for (int i = 0; i < 4000; ++i) lines.push_back(std::string(98, 'x'));
    return lines;
}();

struct TScenario {
    const char* label;
    std::string name;     // handed to SavePageLines
    std::string message;  // kSaved when the save must go through
    // Runs in the child; returns why the machine does not allow the fault.
    std::function<std::string()> arrange;
    std::string page = "index.html";  // the page looked at afterwards
    std::string watched = ".";        // the directory that must show no leftovers
    TLineList lines = kNewLines;
    // A path the fault makes unwritable, checked to make sure it is there.
    std::string unwritable = "";
    // The watched directory's listing after a successful save when it gains
    // entries; empty means it must stay as it was.
    std::string listingAfter = "";
    // When given, the file copied to the name instead of saving lines.
    std::string copyFrom = "";
    // The old page could not be put back: the message ends naming its copy,
    // which holds it; otherwise no copy is left.
    bool keepsCopy = false;
};

void PrintTo(const TScenario& scenario, std::ostream* out) {
    *out << scenario.label;
}

struct TOutcome {
    std::string skipped;
    std::string message;
    std::string pageBefore;
    std::string pageAfter;
    std::string listingBefore;
    std::string listingAfter;
    bool unwritableIsWritable = false;
    std::string copy;
    std::string copyBytes;
    std::string copies;
};

TOutcome RunScenario(const TScenario& scenario) {
    const std::string packed = RunInChild([&scenario] {
        if (const std::string reason = scenario.arrange ? scenario.arrange() : ""; !reason.empty())
            return Pack({"skip", reason});
        const bool writable = !scenario.unwritable.empty() && access(scenario.unwritable.c_str(), W_OK) == 0;
        const std::string pageBefore = ReadFileBytes(scenario.page);
        const std::string listingBefore = DirectoryListing(scenario.watched);
        const std::string message = scenario.copyFrom.empty() ? SaveError(scenario.name, scenario.lines)
                                                              : CopyError(scenario.copyFrom, scenario.name);
        const std::string copy = CopyPathOf(scenario.page);
        return Pack({"ran", message, pageBefore, ReadFileBytes(scenario.page), listingBefore,
                     DirectoryListing(scenario.watched), writable ? "writable" : "", copy, ReadFileBytes(copy),
                     DirectoryListing(kCopies)});
    });
    const std::vector<std::string> fields = Unpack(packed);
    TOutcome outcome;
    if (fields.size() == 2 && fields[0] == "skip") {
        outcome.skipped = fields[1];
    } else if (fields.size() == 10 && fields[0] == "ran") {
        outcome = {"",        fields[1],          fields[2], fields[3], fields[4],
                   fields[5], !fields[6].empty(), fields[7], fields[8], fields[9]};
    } else {
        ADD_FAILURE() << "the child reported: " << packed.substr(0, 300);
    }
    return outcome;
}

std::string CannotCreate(const std::string& name) {
    return "Cannot create file " + name;
}

// Arrangements, run in the child with the scratch directory as working directory.

std::string OldPageAt(const std::string& path) {
    return WriteFileBytes(path, kOldPage) ? "" : "cannot write " + path;
}

std::string DirectoryWithOldPage(const std::string& directory) {
    if (!MakeDirectories(directory)) return "cannot make " + directory;
    return OldPageAt(directory + "/index.html");
}

// Seventeen components of 250 bytes: every one is allowed, the whole is not.
std::string TooLongPath() {
    std::string path;
    for (int i = 0; i < 17; ++i) path += std::string(250, static_cast<char>('a' + i)) + "/";
    return path.substr(0, path.size() - 1);
}

std::string LimitFileSize(rlim_t bytes = 4096) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit RLIMIT_FSIZE failed";
    return "";
}

std::string ForeignDirectory() {
    if (geteuid() != 0) return "needs root to give the directory to another user than the one saving";
    chmod(".", 0755);
    DirectoryWithOldPage("fremd");
    return DropPrivileges();
}

// The user's own folder with the user's own page in it, one of the two
// then given this mode.
std::string OwnFolderWithPage(const std::string& folder, const std::string& changed, mode_t mode) {
    chmod(".", 0755);
    DirectoryWithOldPage(folder);
    GiveToNobody(folder);
    GiveToNobody(folder + "/index.html");
    chmod(changed.c_str(), mode);
    if (std::string failure = UseStateFolder(); !failure.empty()) return failure;
    return DropPrivileges();
}

std::string ReadOnlyDirectory() {
    return OwnFolderWithPage("nur-lesen", "nur-lesen", 0555);
}

// A folder of another user holding a page that is the user's own.
std::string OwnPageInForeignDirectory() {
    if (geteuid() != 0) return "needs root to give the page to another user than the folder's";
    chmod(".", 0755);
    DirectoryWithOldPage("fremd");
    GiveToNobody("fremd/index.html");
    if (std::string failure = UseStateFolder(); !failure.empty()) return failure;
    return DropPrivileges();
}

// That page, saved with this fault arranged after the privileges are dropped.
std::function<std::string()> OwnPageInForeignDirectoryAnd(const std::function<std::string()>& fault) {
    return [fault] {
        const std::string failure = OwnPageInForeignDirectory();
        return failure.empty() ? fault() : failure;
    };
}

std::string FailWritingThePage(int failures) {
    return FailCallsOnFile(SYS_write, "fremd/index.html", 0, failures, EIO);
}

// A folder the user cannot create files in, without the page.
std::string ForeignDirectoryWithoutPage() {
    if (geteuid() != 0) return "needs root to give the directory to another user than the one saving";
    chmod(".", 0755);
    if (!MakeDirectories("fremd")) return "cannot make fremd";
    OldPageAt("fremd/daneben.html");
    return DropPrivileges();
}

std::string ReadOnlyPage() {
    return OwnFolderWithPage("offen", "offen/index.html", 0444);
}

std::string LinkLoop() {
    symlink("schleife.html", "index.html");
    symlink("index.html", "schleife.html");
    return OldPageAt("daneben.html");
}

// No random numbers from the kernel for the temporary file's name.
std::string RefuseRandomness() {
    OldPageAt("index.html");
    return RefuseSystemCall(SYS_getrandom, ENOSYS);
}

std::string RootDirectoryOfItsOwn() {
    if (std::string failure = DirectoryWithOldPage("wurzel"); !failure.empty()) return failure;
    return MakeRootDirectory("wurzel");
}

// The picture a copy starts from, 200 KiB: several reads.
std::string PictureToCopy(const std::string& bytes = std::string(200 * 1024, 'P')) {
    return WriteFileBytes("quelle.jpg", bytes) ? "" : "cannot write quelle.jpg";
}

// A file system that cannot rename without replacing says so with EINVAL
// (the C library gives the same for a kernel without the call).
std::string NoRenameWithoutReplacing() {
    return RefuseSystemCall(SYS_renameat2, EINVAL);
}

const TScenario kFailures[] = {
    // Overwritten in place, the page gets its old bytes back; the size limit
    // is just above them.
    {"FileSizeLimitInPlace", "fremd/index.html", "Stream write error",
     OwnPageInForeignDirectoryAnd([] { return LimitFileSize(kOldPage.size() + 1); }), "fremd/index.html", "fremd",
     kBigLines, "fremd"},
    {"WriteErrorInPlace", "fremd/index.html", "Stream write error",
     OwnPageInForeignDirectoryAnd([] { return FailWritingThePage(1); }), "fremd/index.html", "fremd", kNewLines,
     "fremd"},
    {.label = "WriteErrorInPlaceAndAgainPuttingItBack",
     .name = "fremd/index.html",
     .message = "Stream write error. Die vorherige Fassung der Seite liegt in „",
     .arrange = OwnPageInForeignDirectoryAnd([] { return FailWritingThePage(1 << 30); }),
     .page = "fremd/index.html",
     .watched = "fremd",
     .unwritable = "fremd",
     .keepsCopy = true},
    {"FileSizeLimit", "index.html", "Stream write error",
     [] {
         OldPageAt("index.html");
         return LimitFileSize();
     },
     "index.html", ".", kBigLines},
    {"NameIsADirectory", "ordner.html", CannotCreate("ordner.html"), [] { return DirectoryWithOldPage("ordner.html"); },
     "ordner.html/index.html"},
    {"PathThroughAFile", "datei/index.html", CannotCreate("datei/index.html"), [] { return OldPageAt("datei"); },
     "datei"},
    {"NameComponentTooLong", std::string(300, 'n') + ".html", CannotCreate(std::string(300, 'n') + ".html"),
     [] { return OldPageAt("index.html"); }},
    {"DirectoryComponentTooLong", std::string(256, 'd') + "/index.html",
     CannotCreate(std::string(256, 'd') + "/index.html"), [] { return OldPageAt("index.html"); }},
    {"PathLongerThanPathMax", TooLongPath() + "/index.html", CannotCreate(TooLongPath() + "/index.html"),
     [] { return DirectoryWithOldPage(TooLongPath()); }, TooLongPath() + "/index.html", TooLongPath()},
    {"MissingDirectory", "fehlt/index.html", CannotCreate("fehlt/index.html"), [] { return OldPageAt("index.html"); }},
    {"MissingSubdirectory", "sub/none/index.html", CannotCreate("sub/none/index.html"),
     [] { return DirectoryWithOldPage("sub"); }, "sub/index.html", "sub"},
    {"DirectoryOfAnotherUser", "fremd/index.html", CannotCreate("fremd/index.html"), ForeignDirectory,
     "fremd/index.html", "fremd", kNewLines, "fremd"},
    {"DirectoryOfAnotherUserWithoutPage", "fremd/index.html", CannotCreate("fremd/index.html"),
     ForeignDirectoryWithoutPage, "fremd/daneben.html", "fremd", kNewLines, "fremd"},
    {"ReadOnlyPage", "offen/index.html", CannotCreate("offen/index.html"), ReadOnlyPage, "offen/index.html", "offen",
     kNewLines, "offen/index.html"},
    {"LinkLoop", "index.html", CannotCreate("index.html"), LinkLoop, "daneben.html"},
    {"LinkIntoAMissingDirectory", "index.html", CannotCreate("index.html"),
     [] {
         symlink("fehlt/seite.html", "index.html");
         return OldPageAt("daneben.html");
     },
     "daneben.html"},
    // A page's name that leads out of its folder is not written through.
    {"LinkOutOfTheFolder", "ordner/index.html", CannotCreate("ordner/index.html"),
     [] {
         if (!MakeDirectories("ordner") || symlink("../index.html", "ordner/index.html") != 0)
             return std::string("cannot make the link");
         return OldPageAt("index.html");
     },
     "index.html"},
    {"EmptyName", "", CannotCreate(""), [] { return OldPageAt("index.html"); }},
    // what() is a C string, so the message ends at the NUL.
    {"NulInName", std::string("in\0dex.html", 11), "Cannot create file in", [] { return OldPageAt("index.html"); }},
    // A picture copied beside the page: the disk fails after the first piece.
    {.label = "CopyReadFailsHalfway",
     .name = "neu/bild.jpg",
     .message = "Stream read error",
     .arrange =
         [] {
             if (!MakeDirectories("neu")) return std::string("cannot make neu");
             if (std::string failure = OldPageAt("index.html") + PictureToCopy(); !failure.empty()) return failure;
             return FailReadingAfter("quelle.jpg", 1, EIO);
         },
     .watched = "neu",
     .copyFrom = "quelle.jpg"},
    // Copied, a pipe without a writer would give an empty picture.
    {.label = "CopyFromAPipe",
     .name = "bild.jpg",
     .message = "Cannot open file rohr.jpg",
     .arrange =
         [] {
             if (mkfifo("rohr.jpg", 0644) != 0) return std::string("mkfifo failed");
             return OldPageAt("index.html");
         },
     .copyFrom = "rohr.jpg"},
    {.label = "CopyOntoATakenNameWithoutRenamingWithoutReplacing",
     .name = "bild.jpg",
     .message = kNotCopied,
     .arrange =
         [] {
             if (std::string failure = OldPageAt("bild.jpg") + PictureToCopy(); !failure.empty()) return failure;
             return NoRenameWithoutReplacing();
         },
     .page = "bild.jpg",
     .copyFrom = "quelle.jpg"},
};

const TScenario kWorkableSurroundings[] = {
    // Where no file can be put beside the page, the page itself is written.
    {"ReadOnlyDirectory", "nur-lesen/index.html", kSaved, ReadOnlyDirectory, "nur-lesen/index.html", "nur-lesen",
     kNewLines, "nur-lesen"},
    {"OwnPageInDirectoryOfAnotherUser", "fremd/index.html", kSaved, OwnPageInForeignDirectory, "fremd/index.html",
     "fremd", kBigLines, "fremd"},
    {"NoKernelRandomness", "index.html", kSaved, RefuseRandomness},
    {"PageInTheRootDirectory", "/index.html", kSaved, RootDirectoryOfItsOwn, "/index.html", "/"},
    {"DanglingLink", "index.html", kSaved,
     [] {
         symlink("ziel.html", "index.html");
         return std::string();
     },
     "ziel.html", ".", kNewLines, "", "index.html -> ziel.html\nziel.html\n"},
    {.label = "CopyWithoutRenamingWithoutReplacing",
     .name = "bild.jpg",
     .message = kSaved,
     .arrange =
         [] {
             if (std::string failure = PictureToCopy(testpages::PageFileBytes(kNewLines)); !failure.empty())
                 return failure;
             return NoRenameWithoutReplacing();
         },
     .page = "bild.jpg",
     .listingAfter = "bild.jpg\nquelle.jpg\n",
     .copyFrom = "quelle.jpg"},
};

class PageFileScenario : public TScratchDirectory, public ::testing::WithParamInterface<TScenario> {};

// A fault reports and keeps the old page; workable surroundings still give
// the whole page.
TEST_P(PageFileScenario, EndsAsItMust) {
    const TScenario& scenario = GetParam();
    const TOutcome outcome = RunScenario(scenario);
    if (!outcome.skipped.empty()) GTEST_SKIP() << "cannot arrange this here: " << outcome.skipped;
    EXPECT_FALSE(outcome.unwritableIsWritable) << scenario.unwritable << " is writable: the setting is not there";
    if (!scenario.keepsCopy) {
        EXPECT_EQ(outcome.message, scenario.message);
    }
    std::string listingAfter = outcome.listingBefore;
    if (scenario.message == kSaved) {
        EXPECT_EQ(outcome.pageAfter, testpages::PageFileBytes(scenario.lines));
        if (!scenario.listingAfter.empty()) listingAfter = scenario.listingAfter;
    } else if (scenario.keepsCopy) {
        EXPECT_EQ(outcome.message, scenario.message + outcome.copy + "“");
        EXPECT_EQ(outcome.copyBytes, kOldPage);
    } else {
        EXPECT_EQ(outcome.pageBefore, kOldPage) << "the old page was not there to begin with";
        EXPECT_EQ(outcome.pageAfter, kOldPage);
    }
    if (!scenario.keepsCopy) {
        EXPECT_TRUE(outcome.copies == "" || outcome.copies == "<missing>") << outcome.copies;
    }
    EXPECT_EQ(outcome.listingAfter, listingAfter) << "nothing else may be left in " << scenario.watched;
}

INSTANTIATE_TEST_SUITE_P(Fault, PageFileScenario, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.label); });
INSTANTIATE_TEST_SUITE_P(Surroundings, PageFileScenario, ::testing::ValuesIn(kWorkableSurroundings),
                         [](const auto& info) { return std::string(info.param.label); });

// Reading a page: what cannot be read is reported with the name as given.
struct TReadScenario {
    const char* label;
    std::string name;     // handed to ReadPageFile
    std::string message;  // its message
    std::function<std::string()> arrange;
};

void PrintTo(const TReadScenario& scenario, std::ostream* out) {
    *out << scenario.label;
}

std::string CannotOpen(const std::string& name) {
    return "Cannot open file " + name;
}

std::string UnreadableFile() {
    chmod(".", 0755);
    OldPageAt("geheim.html");
    GiveToNobody("geheim.html");
    chmod("geheim.html", 0200);
    return DropPrivileges();
}

const TReadScenario kReadFailures[] = {
    {"MissingFile", "fehlt.html", CannotOpen("fehlt.html"), [] { return std::string(); }},
    {"MissingDirectory", "fehlt/index.html", CannotOpen("fehlt/index.html"), [] { return std::string(); }},
    {"NameIsADirectory", "ordner.html", CannotOpen("ordner.html"), [] { return DirectoryWithOldPage("ordner.html"); }},
    // Reading a pipe would wait for a writer for ever.
    {"NameIsAPipe", "rohr.html", CannotOpen("rohr.html"),
     [] { return mkfifo("rohr.html", 0644) == 0 ? "" : std::string("mkfifo failed"); }},
    {"UnreadableFile", "geheim.html", CannotOpen("geheim.html"), UnreadableFile},
    {"EmptyName", "", CannotOpen(""), [] { return OldPageAt("index.html"); }},
    {"NulInName", std::string("in\0dex.html", 11), "Cannot open file in", [] { return OldPageAt("index.html"); }},
    {"ReadFails", "index.html", "Stream read error",
     [] {
         OldPageAt("index.html");
         // Every read fails, as on a failing disk.
         return RefuseSystemCall(SYS_read, EIO);
     }},
};

class PageFileReadFault : public TScratchDirectory, public ::testing::WithParamInterface<TReadScenario> {};

TEST_P(PageFileReadFault, ReportsWhatCannotBeRead) {
    const TReadScenario& scenario = GetParam();
    const std::vector<std::string> fields = Unpack(RunInChild([&scenario] {
        if (const std::string reason = scenario.arrange(); !reason.empty()) return Pack({"skip", reason});
        try {
            return Pack({"read", core::ReadPageFile(scenario.name)});
        } catch (const core::TPageFileError& error) {
            return Pack({"failed", error.what()});
        }
    }));
    ASSERT_EQ(fields.size(), 2u);
    if (fields[0] == "skip") GTEST_SKIP() << "cannot arrange the fault here: " << fields[1];
    EXPECT_EQ(fields[0], "failed") << "read " << fields[1].size() << " bytes";
    EXPECT_EQ(fields[1], scenario.message);
}

INSTANTIATE_TEST_SUITE_P(Each, PageFileReadFault, ::testing::ValuesIn(kReadFailures),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
