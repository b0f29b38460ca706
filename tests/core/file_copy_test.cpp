// Whether a picked picture is already the file beside the page: the same
// bytes, nothing less.

#include "core/file_copy.h"

#include <gtest/gtest.h>

#include "support/files.h"

namespace {

TEST(HaveSameBytes, OnlyForRegularFilesWithTheSameBytes) {
    testsupport::TWorkDir work;
    ASSERT_TRUE(testsupport::WriteFileBytes("bild.jpg", "JFIF\x01\x02") &&
                testsupport::WriteFileBytes("kopie.jpg", "JFIF\x01\x02") &&
                testsupport::WriteFileBytes("anfang.jpg", "JFIF\x01") &&
                testsupport::WriteFileBytes("anders.jpg", "JFIF\x01\x03") && testsupport::MakeDirectories("ordner"));
    const struct {
        const char* first;
        const char* second;
        bool same;
    } rows[] = {
        {"bild.jpg", "kopie.jpg", true},   {"bild.jpg", "anfang.jpg", false}, {"anfang.jpg", "bild.jpg", false},
        {"bild.jpg", "anders.jpg", false}, {"ordner", "ordner", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(core::HaveSameBytes(row.first, row.second), row.same) << row.first << " " << row.second;
}

}  // namespace
