// How a name is shown in a message: the marks that would turn the rest of
// the message around escaped, their neighbours as they are.

#include "core/folder_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PrintableName, EscapesOnlyTheMarksThatTurnTheText) {
    const struct {
        std::string name;
        std::string printed;
    } rows[] = {
        {"x\xE2\x80\xA9x.jpg", "x\xE2\x80\xA9x.jpg"},  // U+2029
        {"x\xE2\x80\xAAx.jpg", "x%E2%80%AAx.jpg"},     // U+202A
        {"x\xE2\x80\xAEx.jpg", "x%E2%80%AEx.jpg"},     // U+202E
        {"x\xE2\x80\xAFx.jpg", "x\xE2\x80\xAFx.jpg"},  // U+202F
    };
    for (const auto& [name, printed] : rows) EXPECT_EQ(core::PrintableName(name), printed);
}

}  // namespace
