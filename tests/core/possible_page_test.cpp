// Telling whether a file is one of the program's pages reads no more of a
// foreign file than the bytes every page starts with.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_reader.h"
#include "default_page.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

class PossiblePage : public ::testing::Test {
protected:
    fs::path Write(const char* name, const std::string& bytes, off_t sparseSize = 0) {
        const fs::path path = dir_ / name;
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        if (sparseSize > 0) {
            EXPECT_EQ(ftruncate(fd, sparseSize), 0);
        }
        close(fd);
        return path;
    }

    testsupport::TScratchFolder folder_{"possible-page"};
    const fs::path dir_ = folder_.path();
};

TEST_F(PossiblePage, ReadsAPageWholeAndAForeignFileOnlyAsFarAsItsStart) {
    const std::string page = testpages::PageFileBytes(testpages::kDefaultPageLines);
    const struct {
        const char* name;
        std::string bytes;
        off_t sparseSize;
        std::string expected;
    } rows[] = {
        {"page", page, 0, page},
        {"empty", "", 0, ""},
        {"shorter than the start", "<html>\r\n", 0, "<html>\r\n"},
        {"differs early", std::string(40, 'x'), 0, std::string(core::kPageStart.size(), 'x')},
        {"differs in the last byte", "<html>\r\n<head><titlE>rest", 0, "<html>\r\n<head><titlE>"},
        // 100 MiB of zero bytes on disk costs nothing to make, and as much to read.
        {"large foreign", "", off_t{100} << 20, std::string(core::kPageStart.size(), '\0')},
        // Larger than any page: never read past the start every page has.
        {"starts like a page, 1.5 GB", std::string(core::kPageStart), off_t{1536} << 20, std::string(core::kPageStart)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path path = Write(row.name, row.bytes, row.sparseSize);
        const std::string read = core::ReadPossiblePage(path);
        EXPECT_EQ(read, row.expected);
        EXPECT_EQ(core::ReadPage(read).has_value(), row.expected == page);
        EXPECT_EQ(core::ReadPossiblePage(core::TPageFolder(dir_), row.name).bytes, row.expected);
    }
}

TEST_F(PossiblePage, NamesAnyPathInItsMessages) {
    const fs::path missing = dir_ / "Reise→Rom.html";
    try {
        core::ReadPossiblePage(missing);
        ADD_FAILURE() << "no error";
    } catch (const core::TPathFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing.string());
    }
    const core::TPageFolder folder(dir_);
    core::SavePage(folder, "Reise→Rom.html", {"a"}, std::nullopt);
    EXPECT_EQ(core::ReadPossiblePage(missing), "a\r\n");
    EXPECT_EQ(core::ReadPossiblePage(folder, "Reise→Rom.html").bytes, "a\r\n");
}

}  // namespace
