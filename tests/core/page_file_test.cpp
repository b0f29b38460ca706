#include "core/page_file.h"

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace {

using core::PageFileName;
using core::SavePageLines;
using core::TLineList;
using core::TPageDescription;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> DirectoryEntries(const std::string& path) {
    std::set<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.insert(entry->d_name);
        closedir(dir);
    }
    return names;
}

// Each test runs in a fresh working directory, as the program does.
class PageFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tavirel-page-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        oldCwd_ = cwd;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(oldCwd_.c_str()), 0);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    static std::string ErrorOf(const std::string& name, const TLineList& lines) {
        try {
            SavePageLines(name, lines);
        } catch (const core::TPageFileError& error) {
            return error.what();
        }
        return "<no error>";
    }

    std::string dir_;
    std::string oldCwd_;
};

TEST(PageFileName, AddsOnlyTheChosenExtension) {
    struct Case {
        const char* base;
        bool longExtension;
        const char* name;
    };
    const Case cases[] = {{"index", true, "index.html"}, {"index", false, "index.htm"}, {"", true, ".html"},
                          {"", false, ".htm"}, {"sub/seite", true, "sub/seite.html"},
                          {"/abs/x.y ", false, "/abs/x.y .htm"}};
    for (const Case& c : cases) {
        TPageDescription page;
        page.FileBaseName = c.base;
        page.LongExtension = c.longExtension;
        EXPECT_EQ(PageFileName(page), c.name);
    }
}

TEST_F(PageFile, EveryLineEndsWithCrLf) {
    SavePageLines("index.html", {"<html>", "", "\xFC\x80", "</html>"});
    EXPECT_EQ(ReadBytes("index.html"), "<html>\r\n\r\n\xFC\x80\r\n</html>\r\n");
    SavePageLines("leer.htm", {});
    EXPECT_EQ(ReadBytes("leer.htm"), "");
}

TEST_F(PageFile, DefaultPageIsItsLinesPlusThirtyTwoBytes) {
    const TLineList lines = core::GeneratePage(TPageDescription{});
    std::size_t length = 0;
    for (const std::string& line : lines) length += line.size();
    SavePageLines(PageFileName(TPageDescription{}), lines);
    EXPECT_EQ(ReadBytes("index.html").size(), length + 32);
}

TEST_F(PageFile, ShorterPageReplacesLongerOneCompletely) {
    SavePageLines("index.html", {"eine lange erste Zeile", "und noch eine"});
    SavePageLines("index.html", {"kurz"});
    EXPECT_EQ(ReadBytes("index.html"), "kurz\r\n");
    EXPECT_EQ(DirectoryEntries("."), std::set<std::string>{"index.html"}) << "no temporary file stays behind";
}

TEST_F(PageFile, NamesAreWindows1252AndBecomeUtf8OnDisk) {
    SavePageLines("\xDC" "ber.html", {"x"});
    EXPECT_EQ(ReadBytes("\xC3\x9C" "ber.html"), "x\r\n");
    SavePageLines("\x80.htm", {"y"});
    EXPECT_EQ(ReadBytes("\xE2\x82\xAC.htm"), "y\r\n");
}

TEST_F(PageFile, UncreatableNamesReportTheNameAndChangeNothing) {
    WriteBytes("datei", "alt");
    mkdir("ordner.html", 0755);
    struct Case {
        std::string name;
        std::string message;
    };
    const Case cases[] = {
        {"sub/none/index.html", "Cannot create file sub/none/index.html"},
        {"ordner.html", "Cannot create file ordner.html"},
        {"datei/index.html", "Cannot create file datei/index.html"},
        {std::string(300, 'n') + ".html", "Cannot create file " + std::string(300, 'n') + ".html"},
        // what() is a C string, so the message ends at the NUL.
        {std::string("in\0dex.html", 11), "Cannot create file in"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.name, {"<html>"}), c.message);
    EXPECT_EQ(DirectoryEntries("."), (std::set<std::string>{"datei", "ordner.html"}));
    EXPECT_EQ(ReadBytes("datei"), "alt");
}

TEST_F(PageFile, SubdirectoryThatExistsIsWrittenInto) {
    mkdir("sub", 0755);
    SavePageLines("sub/seite.htm", {"a"});
    EXPECT_EQ(ReadBytes("sub/seite.htm"), "a\r\n");
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
    WriteBytes("echt/seite.html", "alt");
    ASSERT_EQ(symlink("echt/seite.html", "index.html"), 0);
    SavePageLines("index.html", {"neu"});
    struct stat link {};
    ASSERT_EQ(lstat("index.html", &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link stays a link";
    EXPECT_EQ(ReadBytes("echt/seite.html"), "neu\r\n");
    EXPECT_EQ(DirectoryEntries("echt"), std::set<std::string>{"seite.html"});
}

// A write cut short by the file size limit must report the error and keep
// the old page as it was.
TEST_F(PageFile, ShortWriteKeepsTheOldPage) {
    const std::string old = "<html>alte Seite</html>\r\n";
    WriteBytes("index.html", old);
    const TLineList big(2000, std::string(100, 'x'));

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string message = ErrorOf("index.html", big);
        (void)!write(fds[1], message.data(), message.size());
        _exit(0);
    }
    close(fds[1]);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);

    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(ReadBytes("index.html"), old);
    EXPECT_EQ(DirectoryEntries("."), std::set<std::string>{"index.html"});
}

}  // namespace
