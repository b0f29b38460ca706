// A save killed at any moment must leave the page either as it was or as it
// was meant to become, never torn; what it may leave besides is a hidden
// temporary file, and only under its own kind of name. Where the folder
// refuses new files and the page is overwritten in place, a kill may tear
// it, but then the copy of the page before is there, whole, and restoring
// it gives that page back.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "default_page.h"
#include "page_file_support.h"

namespace {

using namespace page_file_support;
using core::TLineList;

constexpr int kKills = 50;

// ".tavirel-" and six letters or digits.
bool IsHiddenTempName(const std::string& name) {
    const std::string prefix = ".tavirel-";
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

// Two pages of a few megabytes that differ in every line and in length.
TLineList BigPage(char fill, std::size_t lines) {
    TLineList page;
    for (std::size_t i = 0; i < lines; ++i) page.push_back(std::to_string(i) + std::string(90, fill));
    return page;
}

struct TCrashScene {
    const char* label;
    std::string folder;  // holds the page, and nothing else may stay there
    // Run by the test before the saves; returns why the machine cannot.
    std::function<std::string()> arrange;
    bool inPlace = false;  // the saving children give up root, if they have it
};

void PrintTo(const TCrashScene& scene, std::ostream* out) {
    *out << scene.label;
}

// The user's own folder, mode 555, and own page.
std::string FolderRefusingNewFiles() {
    chmod(".", 0755);
    if (!MakeDirectories("nur-lesen") || !WriteFileBytes("nur-lesen/index.html", "")) return "cannot make nur-lesen";
    GiveToNobody("nur-lesen");
    GiveToNobody("nur-lesen/index.html");
    chmod("nur-lesen", 0555);
    return UseStateFolder();
}

const TCrashScene kCrashScenes[] = {
    {"FolderTakesNewFiles", ".", [] { return std::string(); }},
    {"FolderRefusesNewFiles", "nur-lesen", FolderRefusingNewFiles, true},
};

class PageFileCrash : public TScratchDirectory, public ::testing::WithParamInterface<TCrashScene> {
protected:
    ~PageFileCrash() override { unsetenv("XDG_STATE_HOME"); }
};

// Every name in the folder but `kept` is a hidden temporary file, removed.
int RemoveHiddenLeftovers(const std::string& folder, const std::string& kept, int kill) {
    int leftovers = 0;
    std::istringstream listing(DirectoryListing(folder));
    for (std::string entry; std::getline(listing, entry);) {
        if (entry == kept) continue;
        EXPECT_TRUE(IsHiddenTempName(entry)) << "kill " << kill << " left \"" << entry << '"';
        unlink((folder + "/" + entry).c_str());
        ++leftovers;
    }
    return leftovers;
}

TEST_P(PageFileCrash, KilledSaveLeavesOneWholePage) {
    const TCrashScene& scene = GetParam();
    if (const std::string reason = scene.arrange(); !reason.empty()) GTEST_SKIP() << reason;
    const std::string page = scene.folder + "/index.html";
    const std::string copy = CopyPathOf(page);
    const TLineList first = BigPage('a', 32000);
    const TLineList second = BigPage('b', 28000);
    const std::string firstBytes = testpages::PageFileBytes(first);
    const std::string secondBytes = testpages::PageFileBytes(second);
    const auto saveForEver = [&] {
        if (scene.inPlace && !DropPrivileges().empty()) _exit(2);
        for (;;) {
            core::SavePageLines(page, second);
            core::SavePageLines(page, first);
        }
    };
    // The kills are spread over three saves of this machine, so that they
    // land early and late in saves of either page.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunInChild([&] {
                  if (scene.inPlace && !DropPrivileges().empty()) return std::string("<not dropped>");
                  core::SavePageLines(page, second);
                  core::SavePageLines(page, first);
                  return std::string();
              }),
              "");
    const auto twoSaves = std::chrono::steady_clock::now() - start;
    const int maxDelay =
        static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(twoSaves * 3 / 2).count());

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, std::max(maxDelay, 1000));
    int firstSeen = 0;
    int secondSeen = 0;
    int leftovers = 0;
    int copiesRestored = 0;

    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                saveForEver();
            } catch (...) {
                _exit(1);
            }
        }
        const int microseconds = delay(random);
        usleep(static_cast<useconds_t>(microseconds));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the saving child ended by itself";

        // What the next save or opening of the page offers back, accepted.
        const core::TPageFolder folder(scene.folder);
        if (!core::LeftPageCopy(folder, "index.html").empty()) {
            const std::string kept = ReadFileBytes(copy);
            ASSERT_TRUE(kept == firstBytes || kept == secondBytes) << "kill " << kill << " left a torn copy";
            core::RestorePageCopy(folder, "index.html", core::LookAtPage(folder, "index.html"));
            ASSERT_EQ(ReadFileBytes(page), kept) << "kill " << kill;
            ++copiesRestored;
        }
        const std::string bytes = ReadFileBytes(page);
        const bool whole = bytes == firstBytes || bytes == secondBytes;
        ASSERT_TRUE(whole) << "kill " << kill << " after " << microseconds << " us left a page of " << bytes.size()
                           << " bytes (whole pages have " << firstBytes.size() << " or " << secondBytes.size() << ")";
        (bytes == firstBytes ? firstSeen : secondSeen)++;

        leftovers += RemoveHiddenLeftovers(scene.folder, "index.html", kill);
        if (scene.inPlace) leftovers += RemoveHiddenLeftovers(kCopies, "", kill);
    }
    RecordProperty("first_page_seen", firstSeen);
    RecordProperty("second_page_seen", secondSeen);
    RecordProperty("hidden_leftovers", leftovers);
    RecordProperty("copies_restored", copiesRestored);
    // Otherwise the kills never fell where a rename had happened.
    EXPECT_GT(firstSeen, 0) << "the first page was never seen after a kill";
    EXPECT_GT(secondSeen, 0) << "the second page was never seen after a kill";
    // Otherwise no kill fell while a page was overwritten in place.
    if (scene.inPlace) {
        EXPECT_GT(copiesRestored, 0) << "no kill left a copy";
    }
}

INSTANTIATE_TEST_SUITE_P(Each, PageFileCrash, ::testing::ValuesIn(kCrashScenes),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
