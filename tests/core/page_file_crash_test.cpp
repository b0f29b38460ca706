// A save killed at any moment must leave the page either as it was or as it
// was meant to become, never torn; what it may leave besides is a hidden
// temporary file, and only under its own kind of name.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <random>
#include <sstream>
#include <string>

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

using PageFileCrash = TScratchDirectory;

TEST_F(PageFileCrash, KilledSaveLeavesOneWholePage) {
    const TLineList first = BigPage('a', 32000);
    const TLineList second = BigPage('b', 28000);
    const std::string firstBytes = testpages::PageFileBytes(first);
    const std::string secondBytes = testpages::PageFileBytes(second);
    // The kills are spread over three saves of this machine, so that they
    // land early and late in saves of either page.
    const auto start = std::chrono::steady_clock::now();
    core::SavePageLines("index.html", second);
    core::SavePageLines("index.html", first);
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

    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                for (;;) {
                    core::SavePageLines("index.html", second);
                    core::SavePageLines("index.html", first);
                }
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

        const std::string page = ReadFileBytes("index.html");
        const bool whole = page == firstBytes || page == secondBytes;
        ASSERT_TRUE(whole) << "kill " << kill << " after " << microseconds << " us left a page of " << page.size()
                           << " bytes (whole pages have " << firstBytes.size() << " or " << secondBytes.size() << ")";
        (page == firstBytes ? firstSeen : secondSeen)++;

        std::istringstream listing(DirectoryListing("."));
        for (std::string entry; std::getline(listing, entry);) {
            if (entry == "index.html") continue;
            EXPECT_TRUE(IsHiddenTempName(entry)) << "kill " << kill << " left \"" << entry << '"';
            unlink(entry.c_str());
            ++leftovers;
        }
    }
    RecordProperty("first_page_seen", firstSeen);
    RecordProperty("second_page_seen", secondSeen);
    RecordProperty("hidden_leftovers", leftovers);
    // Otherwise the kills never fell where a rename had happened.
    EXPECT_GT(firstSeen, 0) << "the first page was never seen after a kill";
    EXPECT_GT(secondSeen, 0) << "the second page was never seen after a kill";
}

}  // namespace
