// The link list carried to the other pages of a folder: only pages this
// program wrote with the same list get the new one, each whole or not at
// all, and every page left alone is named.

#include "core/site_navigation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "core/folder_names.h"
#include "core/page_generator.h"
#include "page_file_support.h"

namespace {

using namespace page_file_support;
using core::TLinkEntry;
using core::TPageDescription;

const std::vector<TLinkEntry> kOldLinks = {{"Start", "index.html"}, {"Impressum", "impressum.html"}};
const std::vector<TLinkEntry> kNewLinks = {
    {"Start", "index.html"}, {"Impressum", "impressum.html"}, {"Fotos", "fotos.html"}};

TPageDescription Page(const std::string& title, const std::vector<TLinkEntry>& links) {
    TPageDescription page;
    page.Title = page.HeadingText = title;
    page.Links = links;
    return page;
}

std::string Bytes(const TPageDescription& page) {
    return std::string(core::GeneratePage(page).FileBytes());
}

// The folder "seite" as the wizard's page (index.html) finds it: three
// pages sharing its list, three with lists of their own (one with the same
// texts leading elsewhere, one with the same targets under other texts),
// one edited by hand, and a link to a page outside the folder with the same
// list.
const std::map<std::string, TPageDescription> kSharing = {
    {"impressum.html", Page("Impressum", kOldLinks)},
    {"kontakt.html", Page("Kontakt", kOldLinks)},
    {"fotos.htm", Page("Fotos", kOldLinks)},
};
const std::map<std::string, std::string> kOwnLists = {
    {"eigene.html", Bytes(Page("Eigene", {{"Nur hier", "x.html"}}))},
    {"ziele.html", Bytes(Page("Ziele", {{"Start", "start.html"}, {"Impressum", "kontakt.html"}}))},
    {"texte.html", Bytes(Page("Texte", {{"Anfang", "index.html"}, {"Kontakt", "impressum.html"}}))},
};
const std::string kByHand = Bytes(Page("Von Hand", kOldLinks)) + "<!-- von Hand -->\r\n";
const std::string kOutside = Bytes(Page("Draußen", kOldLinks));

std::string MakeSite() {
    if (!MakeDirectories("seite") || !MakeDirectories("draussen")) return "cannot make the folders";
    bool written = WriteFileBytes("seite/index.html", Bytes(Page("Start", kNewLinks)));
    for (const auto& [name, page] : kSharing) written = written && WriteFileBytes("seite/" + name, Bytes(page));
    for (const auto& [name, bytes] : kOwnLists) written = written && WriteFileBytes("seite/" + name, bytes);
    written = written && WriteFileBytes("seite/hand.html", kByHand) && WriteFileBytes("draussen/weg.html", kOutside);
    if (!written || symlink("../draussen/weg.html", "seite/weg.html") != 0) return "cannot write the pages";
    return "";
}

struct TSiteScene {
    const char* label;
    // Runs in the child once the site is there; returns why the machine
    // does not allow it.
    std::function<std::string()> arrange;
    std::vector<std::string> changed;
    std::vector<std::string> notChanged;
};

void PrintTo(const TSiteScene& scene, std::ostream* out) {
    *out << scene.label;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += name + ";";
    return joined;
}

// A page its owner made read-only, met after one page went through.
std::string ReadOnlyImprint() {
    chmod(".", 0755);
    for (const char* path :
         {"seite", "seite/impressum.html", "seite/kontakt.html", "seite/fotos.htm", "seite/eigene.html",
          "seite/ziele.html", "seite/texte.html", "seite/hand.html", "seite/index.html"})
        GiveToNobody(path);
    chmod("seite/impressum.html", 0444);
    return DropPrivileges();
}

const TSiteScene kSiteScenes[] = {
    {"ThreeShareThreeDifferOneByHand",
     [] { return std::string(); },
     {"fotos.htm", "impressum.html", "kontakt.html"},
     {}},
    {"ReadOnlyPageHalfWay", ReadOnlyImprint, {"fotos.htm", "kontakt.html"}, {"impressum.html"}},
};

class SiteNavigation : public TScratchDirectory, public ::testing::WithParamInterface<TSiteScene> {};

TEST_P(SiteNavigation, OnlyThePagesSharingTheListChangeEachWhole) {
    const TSiteScene& scene = GetParam();
    const std::vector<std::string> fields = Unpack(RunInChild([&scene] {
        if (std::string reason = MakeSite(); !reason.empty()) return Pack({"skip", reason});
        if (std::string reason = scene.arrange(); !reason.empty()) return Pack({"skip", reason});
        const core::TPageFolder folder("seite");
        const core::TSiteNavigation site =
            core::FindSiteNavigation(core::ReadSiteFiles(folder, "index.html"), kOldLinks, kNewLinks);
        const core::TSiteRewrite rewrite = core::RewriteSiteNavigation(folder, site.Pages);
        std::vector<std::string> notChanged;
        for (const core::TNotChanged& page : rewrite.NotChanged) notChanged.push_back(page.Name);
        std::vector<std::string> fields = {"ran", Joined(rewrite.Changed), Joined(notChanged), Joined(site.Unreadable)};
        for (const auto& [name, page] : kSharing) fields.push_back(ReadFileBytes("seite/" + name));
        for (const auto& [name, bytes] : kOwnLists) fields.push_back(ReadFileBytes("seite/" + name));
        for (const char* path : {"seite/hand.html", "draussen/weg.html"}) fields.push_back(ReadFileBytes(path));
        fields.push_back(DirectoryListing("seite"));
        return Pack(fields);
    }));
    ASSERT_GE(fields.size(), 2u);
    if (fields[0] == "skip") GTEST_SKIP() << "cannot arrange this here: " << fields[1];
    ASSERT_EQ(fields.size(), 4 + kSharing.size() + kOwnLists.size() + 3) << fields[0];
    EXPECT_EQ(fields[1], Joined(scene.changed));
    EXPECT_EQ(fields[2], Joined(scene.notChanged));
    EXPECT_EQ(fields[3], "hand.html;");
    std::size_t at = 4;
    for (const auto& [name, page] : kSharing) {
        TPageDescription changed = page;
        changed.Links = kNewLinks;
        const bool isChanged = std::find(scene.changed.begin(), scene.changed.end(), name) != scene.changed.end();
        EXPECT_EQ(fields[at++], isChanged ? Bytes(changed) : Bytes(page)) << name;
    }
    for (const auto& [name, bytes] : kOwnLists) EXPECT_EQ(fields[at++], bytes) << name;
    EXPECT_EQ(fields[at++], kByHand);
    EXPECT_EQ(fields[at++], kOutside);
    // No temporary file left behind.
    EXPECT_EQ(fields[at],
              "eigene.html\nfotos.htm\nhand.html\nimpressum.html\nindex.html\nkontakt.html\ntexte.html\nweg.html -> "
              "../draussen/weg.html\nziele.html\n");
}

INSTANTIATE_TEST_SUITE_P(Each, SiteNavigation, ::testing::ValuesIn(kSiteScenes),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
