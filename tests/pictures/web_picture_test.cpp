// Every picture of the table through the picture process: what comes out
// tells no place by any tag exiftool knows, is of the size and turned the
// way a browser shows it, keeps its profile, the author's fields and its
// transparency; what cannot be rebuilt comes out as nothing, and the
// user's file stays as it was.

#include <fcntl.h>
#include <gtest/gtest.h>
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

}  // namespace
