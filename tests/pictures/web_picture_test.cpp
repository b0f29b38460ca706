// Every picture of the table through the picture process: what comes out
// tells no place by any tag exiftool knows, is of the size and turned the
// way a browser shows it, keeps its profile, the author's fields and its
// transparency; what cannot be rebuilt comes out as nothing, and the
// user's file stays as it was.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pictures/picture_process.h"
#include "support/files.h"
#include "support/web_pictures.h"

namespace {

using testsupport::PlaceTags;

TEST(WebPicture, EachPictureGoesUpRebuiltOrNotAtAll) {
    const testsupport::TScratchFolder folder("bilder");
    const std::string& at = folder.path();
    for (const testsupport::TPictureRow& row : testsupport::PictureTable(at)) {
        SCOPED_TRACE(row.name);
        const std::string path = at + "/seite-" + row.name;
        ASSERT_TRUE(testsupport::WriteFileBytes(path, row.bytes));
        // The row proves something only where its picture tells a place.
        if (row.sent) {
            EXPECT_NE(PlaceTags(testsupport::ExifToolTags(row.bytes, at)), std::vector<std::string>{});
        }
        const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(file, 0);
        const std::optional<pictures::TWebPicture> picture = pictures::RebuildApart(file, testsupport::kTableSide);
        close(file);
        EXPECT_TRUE(testsupport::ReadFileBytes(path) == row.bytes);
        ASSERT_EQ(picture.has_value(), row.sent);
        if (!picture) continue;
        EXPECT_TRUE(picture->hadLocation);
        testsupport::ExpectWebCopy(row, picture->bytes, at);
    }
}

// A picture that crashes the picture process or hangs it ends that process
// only: the picture comes out as nothing, and the next one is rebuilt.
TEST(WebPicture, APictureThatCrashesOrHangsTheProcessEndsOnlyThatProcess) {
    const testsupport::TScratchFolder folder("bilder");
    const std::string stand = folder.path() + "/bildprozess";
    // Crashes or hangs as the picture says.
    ASSERT_TRUE(
        testsupport::WriteFileBytes(stand,
                                    "#!/usr/bin/python3\nimport os, signal, time\ndata = os.pread(0, 1 << 20, 0)\n"
                                    "if b'ABSTURZ' in data: os.kill(os.getpid(), signal.SIGSEGV)\n"
                                    "time.sleep(600)\n"));
    ASSERT_EQ(chmod(stand.c_str(), 0755), 0);
    const testsupport::TPictureRow whole = testsupport::PictureTable(folder.path()).front();
    const struct {
        const char* name;
        std::string bytes;
        bool rebuilt;
    } rows[] = {{"absturz.jpg", "\xFF\xD8\xFF ABSTURZ", false},
                {"haengt.jpg", "\xFF\xD8\xFF HAENGT", false},
                {"ganz.jpg", whole.bytes, whole.sent}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = folder.path() + "/" + row.name;
        ASSERT_TRUE(testsupport::WriteFileBytes(path, row.bytes));
        const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(file, 0);
        // The whole picture goes through the real process, given its time.
        if (!row.rebuilt)
            pictures::PictureProcessForTests = pictures::TPictureProcessSeam{stand, std::chrono::seconds(3)};
        EXPECT_EQ(pictures::RebuildApart(file, testsupport::kTableSide).has_value(), row.rebuilt);
        pictures::PictureProcessForTests.reset();
        close(file);
    }
}

}  // namespace
