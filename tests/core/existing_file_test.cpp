#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/page_file.h"
#include "support/files.h"

namespace {

// Before a page is replaced the program asks whether it is there at all.
TEST(IsExistingFile, OnlyARegularFileLinksFollowed) {
    const testsupport::TWorkDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes("seite.html", "x"));
    ASSERT_EQ(mkdir("ordner.html", 0755), 0);
    ASSERT_EQ(mkfifo("rohr.html", 0644), 0);
    ASSERT_EQ(symlink("seite.html", "verweis.html"), 0);
    ASSERT_EQ(symlink("fehlt.html", "ins-leere.html"), 0);
    const struct {
        const char* name;
        bool exists;
    } cases[] = {
        {"seite.html", true},      {"verweis.html", true}, {"fehlt.html", false},
        {"ins-leere.html", false}, {"ordner.html", false}, {"rohr.html", false},
    };
    for (const auto& [name, exists] : cases) EXPECT_EQ(core::IsExistingFile(name), exists) << name;
}

}  // namespace
