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

    const struct {
        const char* name;
        std::string reference;
        std::vector<std::string> files;  // after the page
        std::string leftOut;
    } kRows[] = {
        {"below", "unten/a.jpg", {"unten/a.jpg"}, ""},
        {"through a linked folder", "bilder/verlinkt.jpg", {}, "bilder/verlinkt.jpg " + kLink},
        {"a link to a file outside", "bild.jpg", {}, "bild.jpg " + kLink},
        {"a link to / with a long name under it",
         "wurzel" + outside + "/verlinkt.jpg",
         {},
         "wurzel" + outside + "/verlinkt.jpg " + kLink},
        {"a link up", "oben/oben.png", {}, "oben/oben.png " + kLink},
        {"a link that stays inside", "drin.jpg", {"drin.jpg"}, ""},
        {"an absolute link that stays inside", "absolut/a.jpg", {"absolut/a.jpg"}, ""},
        {"a hidden file", ".htpasswd", {}, ".htpasswd (versteckte Datei)\n"},
        {"a file in a hidden folder", ".privat/notiz.jpg", {}, ".privat/notiz.jpg (versteckte Datei)\n"},
        {"a link to a hidden file", "notiz.jpg", {}, "notiz.jpg (versteckte Datei)\n"},
        {"%00", "unten/a.jpg%00", {}, "unten/a.jpg%00 (ungültiger Dateiname)\n"},
        {"%5C", "unten%5Ca.jpg", {}, "unten%5Ca.jpg (ungültiger Dateiname)\n"},
        {"a 300-byte segment", longName, {}, longName + " (ungültiger Dateiname)\n"},
        {"a 250-byte segment", longName.substr(0, 250), {longName.substr(0, 250)}, ""},
        {"a pipe", "rohr", {}, "rohr (fehlt)\n"},
        {"dot segments", "unten/../unten/a.jpg", {"unten/a.jpg"}, ""},
        {"escaped name", "%C3%9Cber%20uns.html", {"Über uns.html"}, ""},
        {"above", "../oben.png", {}, "../oben.png (außerhalb des Ordners)\n"},
        {"above through a linked folder", "bilder/../../oben.png", {}, "../oben.png (außerhalb des Ordners)\n"},
        {"absolute", "/etc/hostname", {}, "/etc/hostname (außerhalb des Ordners)\n"},
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
