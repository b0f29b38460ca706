// What a publish sends: the page and the files it names inside its folder,
// as the file system resolves them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/files.h"
#include "transfer/publish.h"

namespace {

using testsupport::WriteFileBytes;
using TReason = transfer::TLeftOut::TReason;

std::string LeftOut(const transfer::TPublishPlan& plan) {
    std::string text;
    for (const transfer::TLeftOut& file : plan.leftOut)
        text += core::PrintableName(file.name) + " " + std::string(core::FaultWords(file.reason)) + "\n";
    return text;
}

TEST(PlanPublish, SendsWhatThePageNamesInsideItsFolder) {
    const std::string kLink = "(Verknüpfung nach außerhalb des Ordners)\n";
    testsupport::TWorkDir work;
    const std::string outside = work.path() + "/anderswo";
    testsupport::MakeDirectories(outside);
    testsupport::MakeDirectories("seite/unten");
    WriteFileBytes(outside + "/verlinkt.jpg", "v");
    WriteFileBytes(outside + "/seite.html", "<img src=\"verlinkt.jpg\">");
    WriteFileBytes(work.path() + "/oben.png", "o");
    WriteFileBytes("seite/unten/a.jpg", "a");
    WriteFileBytes("seite/Über uns.html", "u");
    std::filesystem::create_directory_symlink(outside, "seite/bilder");
    std::filesystem::create_symlink(outside + "/verlinkt.jpg", "seite/bild.jpg");
    std::filesystem::create_directory_symlink("/", "seite/wurzel");
    std::filesystem::create_directory_symlink("..", "seite/oben");
    std::filesystem::create_symlink("unten/a.jpg", "seite/drin.jpg");
    std::filesystem::create_directory_symlink(work.path() + "/seite/unten", "seite/absolut");
    testsupport::MakeDirectories("seite/.privat");
    WriteFileBytes("seite/.privat/notiz.jpg", "n");
    WriteFileBytes("seite/.htpasswd", "h");
    std::filesystem::create_symlink(".privat/notiz.jpg", "seite/notiz.jpg");
    mkfifo("seite/rohr", 0600);
    const std::string longName(300, 'x');
    WriteFileBytes("seite/" + longName.substr(0, 250), "l");

    const auto planOf = [](const std::string& reference) {
        WriteFileBytes("seite/index.html",
                       std::string("<html><body><a href=\"") + reference + "\">x</a></body></html>\r\n");
        return transfer::PlanPublish("seite/index.html");
    };
    const struct {
        const char* name;
        std::string reference;
        std::vector<std::string> files;  // after the page
    } kSent[] = {
        {"below", "unten/a.jpg", {"unten/a.jpg"}},
        {"a link that stays inside", "drin.jpg", {"drin.jpg"}},
        {"an absolute link that stays inside", "absolut/a.jpg", {"absolut/a.jpg"}},
        {"a 250-byte segment", longName.substr(0, 250), {longName.substr(0, 250)}},
        {"dot segments", "unten/../unten/a.jpg", {"unten/a.jpg"}},
        {"escaped name", "%C3%9Cber%20uns.html", {"Über uns.html"}},
        {"the page itself", "index.html", {}},
        {"a folder", "unten/", {}},
    };
    for (const auto& row : kSent) {
        SCOPED_TRACE(row.name);
        const transfer::TPublishPlan plan = planOf(row.reference);
        EXPECT_EQ(plan.folder, std::filesystem::path(work.path()) / "seite");
        std::vector<std::string> expected{"index.html"};
        expected.insert(expected.end(), row.files.begin(), row.files.end());
        EXPECT_EQ(plan.files, expected);
        EXPECT_EQ(LeftOut(plan), "");
    }
    // Left out, by why: links that lead out (to a file, through a folder, to
    // "/" with a long name under it, up, to a page and what it names), hidden files (in a hidden folder,
    // through a link), names no file may have (%00, %5C, a 300-byte segment),
    // what is no file (a pipe) or none, and what lies above the folder.
    const struct {
        std::string why;
        std::vector<std::string> references;
    } kLeftOut[] = {
        {kLink,
         {"bild.jpg", "bilder/verlinkt.jpg", "wurzel" + outside + "/verlinkt.jpg", "oben/oben.png",
          "bilder/seite.html"}},
        {"(versteckte Datei)\n", {".htpasswd", ".privat/notiz.jpg", "notiz.jpg"}},
        {"(ungültiger Dateiname)\n", {"unten/a.jpg%00", "unten%5Ca.jpg", longName}},
        {"(fehlt)\n", {"rohr", "unten/fehlt.jpg"}},
        {"(außerhalb des Ordners)\n", {"../oben.png", "/etc/hostname"}},
    };
    for (const auto& row : kLeftOut)
        for (const std::string& reference : row.references) {
            SCOPED_TRACE(reference);
            const transfer::TPublishPlan plan = planOf(reference);
            EXPECT_EQ(plan.files, std::vector<std::string>{"index.html"});
            EXPECT_EQ(LeftOut(plan), reference + " " + row.why);
        }
    // Named as it resolves, not as it was spelled.
    EXPECT_EQ(LeftOut(planOf("bilder/../../oben.png")), "../oben.png (außerhalb des Ordners)\n");
}

TEST(PlanPublish, AnUnreadablePageIsAnError) {
    testsupport::TWorkDir work;
    EXPECT_THROW(transfer::PlanPublish("fehlt.html"), transfer::TTransferError);
}

}  // namespace
