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

TEST(PageDescription, DefaultsAreThoseOfAFreshWizard) {
    const core::TPageDescription page;
    EXPECT_EQ(page.Title, "Neue Seite");
    EXPECT_EQ(page.HeadingText, "Neue Seite");
    EXPECT_EQ(page.HeadingSizeIndex, 3);
    EXPECT_EQ(page.HeadingColor, "#000000");
    EXPECT_EQ(page.HeadingFace, "Arial");
    EXPECT_EQ(page.HeadingImage, "bild.jpg");
    EXPECT_FALSE(page.CornerImageOn);
    EXPECT_EQ(page.CornerImage, "eckbild.jpg");
    EXPECT_EQ(page.CornerHeight, 0);
    EXPECT_TRUE(page.BackgroundIsImage);
    EXPECT_EQ(page.BackgroundImage, "hintergrund.jpg");
    EXPECT_EQ(page.BackgroundColor, "#FFFFFF");
    EXPECT_EQ(page.MarginLeft, 0);
    EXPECT_EQ(page.MarginTop, 0);
    EXPECT_FALSE(page.UseStyleSheet);
    EXPECT_TRUE(page.BoldLinks);
    for (const std::string* color : {&page.LinkColor, &page.VisitedColor, &page.HoverColor, &page.ActiveColor})
        EXPECT_EQ(*color, "#000000");
    EXPECT_TRUE(page.Links.empty());
    EXPECT_FALSE(page.UseDots);
    EXPECT_EQ(page.DotImage, "dot.jpg");
    EXPECT_FALSE(page.UseLinkBackground);
    EXPECT_EQ(page.LinkBackgroundImage, "lbg.jpg");
    EXPECT_TRUE(page.TextLines.empty());
    EXPECT_EQ(page.TextColor, "#000000");
    EXPECT_EQ(page.TextFace, "Arial");
    EXPECT_TRUE(page.Images.empty());
    EXPECT_EQ(page.BreaksPerImage, 1);
    EXPECT_EQ(page.FileBaseName, "index");
    EXPECT_TRUE(page.LongExtension);
}

}  // namespace
