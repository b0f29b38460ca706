#include "core/page_description.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using core::ReadSpinValue;

TEST(ReadSpinValue, ReadsWhatASpinFieldMayHold) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"12", 12},
        {"-3", -3},
        {"+7", 7},
        {" 5", 5},
        {"   -5", -5},
        {"007", 7},
        {"0", 0},
        {"-0", 0},
        {"$10", 16},
        {"x1f", 31},
        {"X1F", 31},
        {"$19", 25},
        {"99", 99},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$FFFFFFFF", -1},
        {"$80000000", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
        {"$000000000010", 16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"+2147483647", 2147483647},
        // Everything else reads as the field's lower bound, 0.
        {"", 0},
        {" ", 0},
        {"-", 0},
        {"+", 0},
        {"$", 0},
        {"x", 0},
        {"0x", 0},
        {"abc", 0},
        {"12a", 0},
        {"12 ", 0},
        {"-$10", 0},
        {"+0x10", 0},
        {"1,5", 0},
        {"1.5", 0},
        {"\t5", 0},
        {"--5", 0},
        {"$G", 0},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"99999999999999999999", 0},
        {"$100000000", 0},
        {"0x1FFFFFFFF", 0},
        {"1e3", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadSpinValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadSpinValue, StopsAtNothingButTheEndOfTheText) {
    EXPECT_EQ(ReadSpinValue(std::string("12\0"
                                        "3",
                                        4)),
              0);
    EXPECT_EQ(ReadSpinValue(std::string_view("123", 2)), 12);
}

}  // namespace
