// What a publish sends: the page and the files it names inside its folder,
// judged by the names as the page spells them.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/files.h"
#include "transfer/publish.h"

namespace {

using testsupport::WriteFileBytes;
using TReason = transfer::TLeftOut::TReason;

std::string LeftOut(const transfer::TPublishPlan& plan) {
    std::string text;
    for (const transfer::TLeftOut& file : plan.leftOut)
        text += file.name + (file.reason == TReason::Missing ? " (fehlt)\n" : " (außerhalb)\n");
    return text;
}

TEST(PlanPublish, SendsWhatThePageNamesInsideItsFolder) {
    testsupport::TWorkDir work;
    const std::string outside = work.path() + "/anderswo";
    testsupport::MakeDirectories(outside);
    testsupport::MakeDirectories("seite/unten");
    WriteFileBytes(outside + "/verlinkt.jpg", "v");
    WriteFileBytes(work.path() + "/oben.png", "o");
    WriteFileBytes("seite/unten/a.jpg", "a");
    WriteFileBytes("seite/Über uns.html", "u");
    std::filesystem::create_directory_symlink(outside, "seite/bilder");

    const struct {
        const char* name;
        const char* reference;
        std::vector<std::string> files;  // after the page
        const char* leftOut;
    } kRows[] = {
        {"below", "unten/a.jpg", {"unten/a.jpg"}, ""},
        {"through a linked folder", "bilder/verlinkt.jpg", {"bilder/verlinkt.jpg"}, ""},
        {"dot segments", "unten/../unten/a.jpg", {"unten/a.jpg"}, ""},
        {"escaped name", "%C3%9Cber%20uns.html", {"Über uns.html"}, ""},
        {"above", "../oben.png", {}, "../oben.png (außerhalb)\n"},
        {"above through a linked folder", "bilder/../../oben.png", {}, "../oben.png (außerhalb)\n"},
        {"absolute", "/etc/hostname", {}, "/etc/hostname (außerhalb)\n"},
        {"missing", "unten/fehlt.jpg", {}, "unten/fehlt.jpg (fehlt)\n"},
        {"the page itself", "index.html", {}, ""},
        {"a folder", "unten/", {}, ""},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.name);
        WriteFileBytes("seite/index.html",
                       std::string("<html><body><a href=\"") + row.reference + "\">x</a></body></html>\r\n");
        const transfer::TPublishPlan plan = transfer::PlanPublish("seite/index.html");
        EXPECT_EQ(plan.folder, std::filesystem::path(work.path()) / "seite");
        std::vector<std::string> expected{"index.html"};
        expected.insert(expected.end(), row.files.begin(), row.files.end());
        EXPECT_EQ(plan.files, expected);
        EXPECT_EQ(LeftOut(plan), row.leftOut);
    }
}

TEST(PlanPublish, AnUnreadablePageIsAnError) {
    testsupport::TWorkDir work;
    EXPECT_THROW(transfer::PlanPublish("fehlt.html"), transfer::TTransferError);
}

}  // namespace
