// In a folder others can write, a page may be swapped for a link between
// the look that judged it and the call that writes it. The link may lead to
// any file of the user's (~/.ssh/authorized_keys): that file keeps every
// byte, the link stays, and the save says the page was replaced.
//
// Each row runs in a child: the save runs in a grandchild of its own, as
// the user kNobody where the folder is another user's, and the child swaps
// the page when the save reaches the moment between judging and writing.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "core/site_navigation.h"
#include "core/system_calls.h"
#include "page_file_support.h"

namespace {

using namespace page_file_support;

const std::string kPrecious = "ssh-ed25519 AAAA... mein Schlüssel\n";
const std::vector<core::TLinkEntry> kOldLinks = {{"Start", "index.html"}};
const std::vector<core::TLinkEntry> kNewLinks = {{"Start", "index.html"}, {"Neu", "neu.html"}};

std::string PageBytes(const std::string& title, const std::vector<core::TLinkEntry>& links) {
    core::TPageDescription page;
    page.Title = title;
    page.Links = links;
    return std::string(core::GeneratePage(page).FileBytes());
}

struct TSwapRow {
    const char* label;
    bool inPlace;  // the folder refuses new files to the user, who owns the page
    bool site;     // the links carried to another page, not the page finished
};

const TSwapRow kRows[] = {
    {"PageSwappedForALinkWhileSavingByRenaming", false, false},
    {"PageSwappedForALinkWhileSavingInPlace", true, false},
    {"PageSwappedForALinkWhileCarryingTheLinksByRenaming", false, true},
    {"PageSwappedForALinkWhileCarryingTheLinksInPlace", true, true},
};

void PrintTo(const TSwapRow& row, std::ostream* out) {
    *out << row.label;
}

// The page in "gemeinsam" as the finish or the link carrying writes it;
// what it reported, in the grandchild.
std::string Save(const TSwapRow& row, const std::string& name) {
    const core::TPageFolder folder("gemeinsam");
    try {
        if (!row.site) {
            core::SavePage(folder, name, core::GeneratePage({}), core::LookAtPage(folder, name));
            return "saved";
        }
        const core::TSiteNavigation site =
            core::FindSiteNavigation(core::ReadSiteFiles(folder, "index.html"), kOldLinks, kNewLinks);
        const core::TSiteRewrite rewrite = core::RewriteSiteNavigation(folder, site.Pages);
        std::string said;
        for (const std::string& changed : rewrite.Changed) said += changed + " changed;";
        for (const core::TNotChanged& page : rewrite.NotChanged) said += page.Name + " " + page.Reason + ";";
        return said;
    } catch (const core::TPageFileError& error) {
        return error.what();
    }
}

// Swaps the page for a link to the precious file, as one atomic rename.
void SwapForALink(const std::string& name) {
    symlinkat("../geheim.txt", AT_FDCWD, "gemeinsam/.link");
    renameat(AT_FDCWD, "gemeinsam/.link", AT_FDCWD, ("gemeinsam/" + name).c_str());
}

// The folder "gemeinsam" holds two pages with the same links; the precious
// file lies beside it.
std::string Arrange(const TSwapRow& row) {
    if (!MakeDirectories("gemeinsam") || !WriteFileBytes("geheim.txt", kPrecious) ||
        !WriteFileBytes("gemeinsam/index.html", PageBytes("Start", kOldLinks)) ||
        !WriteFileBytes("gemeinsam/andere.html", PageBytes("Andere", kOldLinks)))
        return "cannot write the folder";
    if (!row.inPlace) return "";
    if (geteuid() != 0) return "needs root to give the folder to another user than the one saving";
    chmod(".", 0755);
    chmod("gemeinsam", 0755);
    for (const char* path : {"geheim.txt", "gemeinsam/index.html", "gemeinsam/andere.html"}) GiveToNobody(path);
    return UseStateFolder();
}

// Runs the save in a grandchild; swaps when it reaches the seam.
std::string SaveWhileSwapping(const TSwapRow& row, const std::string& name) {
    int reached[2];
    int swapped[2];
    int said[2];
    if (pipe(reached) != 0 || pipe(swapped) != 0 || pipe(said) != 0) return "<no pipes>";
    const pid_t saver = fork();
    if (saver == 0) {
        if (row.inPlace && !DropPrivileges().empty()) _exit(2);
        core::BetweenJudgingAndWriting = [&](std::string_view) {
            char go = 0;
            (void)!write(reached[1], "s", 1);
            (void)!read(swapped[0], &go, 1);
        };
        testsupport::WriteAllTo(said[1], Save(row, name));
        _exit(0);
    }
    close(reached[1]);
    close(said[1]);
    char seen = 0;
    const bool seamReached = read(reached[0], &seen, 1) == 1;
    if (seamReached) SwapForALink(name);
    (void)!write(swapped[1], "g", 1);
    const std::string report = testsupport::ReadAllFrom(said[0]);
    int status = 0;
    waitpid(saver, &status, 0);
    return seamReached ? report : "<the save never reached the moment of writing: " + report + ">";
}

class PageSwap : public TScratchDirectory, public ::testing::WithParamInterface<TSwapRow> {};

TEST_P(PageSwap, TheLinksTargetKeepsEveryByte) {
    const TSwapRow& row = GetParam();
    const std::string name = row.site ? "andere.html" : "index.html";
    const std::vector<std::string> fields = Unpack(RunInChild([&] {
        if (const std::string reason = Arrange(row); !reason.empty()) return Pack({"skip", reason});
        const std::string report = SaveWhileSwapping(row, name);
        return Pack({"ran", report, ReadFileBytes("geheim.txt"), DirectoryListing("gemeinsam")});
    }));
    ASSERT_GE(fields.size(), 2u);
    if (fields[0] == "skip") GTEST_SKIP() << "cannot arrange this here: " << fields[1];
    ASSERT_EQ(fields.size(), 4u) << fields[0];
    EXPECT_EQ(fields[1], row.site ? name + " während des Speicherns ersetzt;"
                                  : name + " wurde während des Speicherns ersetzt und bleibt unverändert");
    EXPECT_EQ(fields[2], kPrecious);
    const std::string other = row.site ? "index.html\n" : "andere.html\n";
    const std::string link = name + " -> ../geheim.txt\n";
    EXPECT_EQ(fields[3], row.site ? link + other : other + link) << "nothing else is written or left";
}

INSTANTIATE_TEST_SUITE_P(Each, PageSwap, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
