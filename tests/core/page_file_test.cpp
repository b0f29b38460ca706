#include "core/page_file.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "core/page_generator.h"
#include "default_page.h"
#include "page_file_support.h"

namespace {

using core::PageFileName;
using core::ReadPageFile;
using core::SavePageLines;
using core::TLineList;
using core::TPageDescription;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

using PageFile = page_file_support::TScratchDirectory;

TEST(PageFileName, AddsOnlyTheChosenExtension) {
    struct Case {
        const char* base;
        bool longExtension;
        const char* name;
    };
    const Case cases[] = {
        {"index", true, "index.html"}, {"index", false, "index.htm"},         {"", true, ".html"},
        {"", false, ".htm"},           {"sub/seite", true, "sub/seite.html"}, {"/abs/x.y ", false, "/abs/x.y .htm"}};
    for (const Case& c : cases) {
        TPageDescription page;
        page.FileBaseName = c.base;
        page.LongExtension = c.longExtension;
        EXPECT_EQ(PageFileName(page), c.name);
    }
}

TEST_F(PageFile, EveryLineEndsWithCrLf) {
    SavePageLines("index.html", {"<html>", "", "\xFC\x80", "</html>"});
    EXPECT_EQ(ReadFileBytes("index.html"), "<html>\r\n\r\n\xFC\x80\r\n</html>\r\n");
    SavePageLines("leer.htm", {});
    EXPECT_EQ(ReadFileBytes("leer.htm"), "");
    // Written in several pieces, whose seams fall inside lines.
    TLineList big;
    for (int i = 0; i < 30000; ++i) big.push_back(std::string(static_cast<std::size_t>(i % 173), 'a' + i % 26));
    SavePageLines("gross.html", big);
    EXPECT_EQ(ReadFileBytes("gross.html"), big.FileBytes());
}

TEST_F(PageFile, DefaultPageIsItsSixteenLinesEachWithCrLf) {
    SavePageLines(PageFileName(TPageDescription{}), core::GeneratePage(TPageDescription{}));
    EXPECT_EQ(ReadFileBytes("index.html"), testpages::PageFileBytes(testpages::kDefaultPageLines));
}

TEST_F(PageFile, ReadingGivesEveryByteUnderTheWindows1252Name) {
    std::string bytes = testpages::PageFileBytes(testpages::kDefaultPageLines) + std::string("\0\xFF\r\n\n", 5);
    for (int i = 0; i < 40000; ++i) bytes += "x\xE4";  // more than one read
    ASSERT_TRUE(
        WriteFileBytes("\xC3\x9C"
                       "ber.html",
                       bytes));
    EXPECT_EQ(ReadPageFile("\xDC"
                           "ber.html"),
              bytes);
    ASSERT_TRUE(WriteFileBytes("leer.htm", ""));
    EXPECT_EQ(ReadPageFile("leer.htm"), "");
}

TEST_F(PageFile, ShorterPageReplacesLongerOneCompletely) {
    SavePageLines("index.html", {"eine lange erste Zeile", "und noch eine"});
    SavePageLines("index.html", {"kurz"});
    EXPECT_EQ(ReadFileBytes("index.html"), "kurz\r\n");
    EXPECT_EQ(testsupport::DirectoryListing(), "index.html\n") << "no temporary file stays behind";
}

TEST_F(PageFile, NamesAreWindows1252AndBecomeUtf8OnDisk) {
    SavePageLines(
        "\xDC"
        "ber.html",
        {"x"});
    EXPECT_EQ(ReadFileBytes("\xC3\x9C"
                            "ber.html"),
              "x\r\n");
    SavePageLines("\x80.htm", {"y"});
    EXPECT_EQ(ReadFileBytes("\xE2\x82\xAC.htm"), "y\r\n");
}

TEST_F(PageFile, SubdirectoryThatExistsIsWrittenInto) {
    mkdir("sub", 0755);
    SavePageLines("sub/seite.htm", {"a"});
    EXPECT_EQ(ReadFileBytes("sub/seite.htm"), "a\r\n");
}

TEST_F(PageFile, PermissionsAndLinksOfTheOldPageSurvive) {
    const mode_t mask = umask(022);
    SavePageLines("neu.html", {"n"});
    struct stat st {};
    ASSERT_EQ(stat("neu.html", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u) << "a new page gets 0666 less the umask";

    chmod("neu.html", 0604);
    SavePageLines("neu.html", {"m"});
    ASSERT_EQ(stat("neu.html", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u) << "a replaced page keeps its mode";
    umask(mask);

    mkdir("echt", 0755);
    ASSERT_TRUE(WriteFileBytes("echt/seite.html", "alt"));
    ASSERT_EQ(symlink("echt/seite.html", "index.html"), 0);
    SavePageLines("index.html", {"neu"});
    struct stat link {};
    ASSERT_EQ(lstat("index.html", &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link stays a link";
    EXPECT_EQ(ReadFileBytes("echt/seite.html"), "neu\r\n");
    EXPECT_EQ(testsupport::DirectoryListing("echt"), "seite.html\n");
}

// The copy a save in place keeps goes to the user's state folder: from
// XDG_STATE_HOME when that is absolute, else from HOME when that is, else
// from the user's entry in the password database.
TEST_F(PageFile, TheCopyOfAPageGoesToTheUsersStateFolder) {
    const std::string own = getpwuid(getuid())->pw_dir;
    const struct {
        const char* state;  // nullptr: unset
        const char* home;
        std::string folder;
    } rows[] = {
        {"/zustand", "/heim", "/zustand/tavirel/"},         {"zustand", "/heim", "/heim/.local/state/tavirel/"},
        {nullptr, "/heim", "/heim/.local/state/tavirel/"},  {nullptr, "heim", own + "/.local/state/tavirel/"},
        {nullptr, nullptr, own + "/.local/state/tavirel/"},
    };
    for (const auto& row : rows) {
        const std::string copy = page_file_support::RunInChild([&row] {
            row.state ? setenv("XDG_STATE_HOME", row.state, 1) : unsetenv("XDG_STATE_HOME");
            row.home ? setenv("HOME", row.home, 1) : unsetenv("HOME");
            return page_file_support::CopyPathOf("index.html");
        });
        SCOPED_TRACE(std::string(row.state ? row.state : "-") + " " + (row.home ? row.home : "-"));
        EXPECT_EQ(copy.substr(0, row.folder.size()), row.folder);
        EXPECT_TRUE(copy.ends_with("%2Findex.html")) << copy;
    }
}

}  // namespace
