#include "core/page_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/page_generator.h"
#include "support/description.h"

namespace {

using core::GeneratePage;
using core::ReadPage;
using core::TPageDescription;
using testsupport::FieldLines;

constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

std::string PageBytes(const TPageDescription& page) {
    return std::string(GeneratePage(page).FileBytes());
}

// The description with every field the page does not show back at its
// default: what a reader of the page can know.
TPageDescription Shown(TPageDescription page) {
    const TPageDescription defaults;
    if (!page.UseStyleSheet) {
        page.BoldLinks = defaults.BoldLinks;
        page.LinkColor = page.VisitedColor = page.HoverColor = page.ActiveColor = defaults.LinkColor;
    }
    if (page.BackgroundIsImage)
        page.BackgroundColor = defaults.BackgroundColor;
    else
        page.BackgroundImage = defaults.BackgroundImage;
    if (!page.CornerImageOn) page.CornerImage = defaults.CornerImage;
    if (page.Links.empty()) page.UseDots = page.UseLinkBackground = false;
    if (!page.UseDots) page.DotImage = defaults.DotImage;
    if (!page.UseLinkBackground) page.LinkBackgroundImage = defaults.LinkBackgroundImage;
    if (page.TextLines.empty()) {
        page.TextColor = defaults.TextColor;
        page.TextFace = defaults.TextFace;
    }
    if (page.Images.empty())
        page.BreaksPerImage = defaults.BreaksPerImage;
    else if (page.BreaksPerImage < 0)
        page.BreaksPerImage = 0;
    page.FileBaseName = defaults.FileBaseName;
    page.LongExtension = defaults.LongExtension;
    return page;
}

struct TPageCase {
    const char* name;
    std::function<void(TPageDescription&)> edit;
};

std::vector<core::TLinkEntry> SomeLinks(int count) {
    std::vector<core::TLinkEntry> links;
    for (int i = 1; i <= count; ++i) links.push_back({"Verweis " + std::to_string(i), "seite" + std::to_string(i)});
    return links;
}

TEST(ReadPage, ReadsBackWhatThePageShows) {
    const TPageCase cases[] = {
        {"defaults", [](TPageDescription&) {}},
        {"bold style block",
         [](TPageDescription& p) {
             p.UseStyleSheet = true;
             p.LinkColor = "#111111";
             p.VisitedColor = "#222222";
             p.HoverColor = "red";
             p.ActiveColor = "#444444\"";
         }},
        {"plain style block",
         [](TPageDescription& p) {
             p.UseStyleSheet = true;
             p.BoldLinks = false;
             p.HoverColor = "; }";
         }},
        {"background colour and margins",
         [](TPageDescription& p) {
             p.BackgroundIsImage = false;
             p.MarginLeft = 4;
             p.MarginTop = 9;
         }},
        {"heading size 5", [](TPageDescription& p) { p.HeadingSizeIndex = 5; }},
        {"heading size 6", [](TPageDescription& p) { p.HeadingSizeIndex = 6; }},
        {"no heading image", [](TPageDescription& p) { p.HeadingImage.clear(); }},
        {"one link, no text", [](TPageDescription& p) { p.Links = SomeLinks(1); }},
        {"one link, two text lines",
         [](TPageDescription& p) {
             p.Links = SomeLinks(1);
             p.TextLines = {"Hallo", "Welt"};
             p.TextColor = "blue";
             p.TextFace = "Times";
         }},
        {"three links and text",
         [](TPageDescription& p) {
             p.Links = SomeLinks(3);
             p.TextLines = {"Zeile"};
         }},
        {"three links, no text", [](TPageDescription& p) { p.Links = SomeLinks(3); }},
        {"no links, text",
         [](TPageDescription& p) {
             p.TextLines = {"", "zweite"};
         }},
        {"breaks -1",
         [](TPageDescription& p) {
             p.Images = {{"a.jpg", "x"}};
             p.BreaksPerImage = -1;
         }},
        // Read from the end, the caption's "<th>" is no line of its own.
        {"image caption ending like the image row's start",
         [](TPageDescription& p) {
             p.TextLines = {"Text"};
             p.Images = {{"a.jpg", "<th>"}};
         }},
        {"link text with markup",
         [](TPageDescription& p) {
             p.Links = {{"<b>fett</b>", "ziel.html"}};
         }},
        {"dots and link background",
         [](TPageDescription& p) {
             p.Links = SomeLinks(2);
             p.UseDots = true;
             p.DotImage = "punkt.gif";
             p.UseLinkBackground = true;
             p.LinkBackgroundImage = "grund.gif";
         }},
        {"dots only",
         [](TPageDescription& p) {
             p.Links = SomeLinks(2);
             p.UseDots = true;
         }},
        {"link background only",
         [](TPageDescription& p) {
             p.Links = SomeLinks(2);
             p.UseLinkBackground = true;
         }},
        {"corner image",
         [](TPageDescription& p) {
             p.CornerImageOn = true;
             p.CornerImage = "ecke.png";
             p.CornerHeight = 120;
         }},
        {"extreme numbers",
         [](TPageDescription& p) {
             p.MarginLeft = kMinInt;
             p.MarginTop = kMaxInt;
             p.CornerHeight = -1;
         }},
        {"everything at once",
         [](TPageDescription& p) {
             p.UseStyleSheet = true;
             p.CornerImageOn = true;
             p.Links = SomeLinks(4);
             p.UseDots = true;
             p.TextLines = {"a", "b", "c"};
             p.Images = {{"1.jpg", "eins"}, {"2.jpg", "zwei"}, {"3.jpg", "drei"}};
             p.BreaksPerImage = 3;
         }},
        {"for phones", [](TPageDescription& p) { p.ForPhones = true; }},
        {"for phones with a style block",
         [](TPageDescription& p) {
             p.ForPhones = true;
             p.UseStyleSheet = true;
             p.BoldLinks = false;
         }},
        {"image descriptions everywhere",
         [](TPageDescription& p) {
             p.ImageDescriptions = true;
             p.CornerImageOn = true;
             p.Links = SomeLinks(2);
             p.UseDots = true;
             p.UseLinkBackground = true;
             p.TextLines = {"<img src=\"l.jpg\" align=\"left\">", "<center><img src=\"m.jpg\"></center>"};
             p.Images = {{"a.jpg", "Bild \"1\" & <2> \xFC &#322;"}, {"b.jpg", ""}};
         }},
        {"both options, an inline picture the only image",
         [](TPageDescription& p) {
             p.ForPhones = true;
             p.ImageDescriptions = true;
             p.HeadingImage.clear();
             p.TextLines = {"<img src=\"r.jpg\" align=\"right\">"};
         }},
        // Read from the back, a caption's quotes and typed "&quot;" stay apart.
        {"image descriptions with texts holding their separators",
         [](TPageDescription& p) {
             p.ImageDescriptions = true;
             p.HeadingImage.clear();
             p.Images = {{"\" src=\"", "&quot;\""}, {"\">", "\" src=\"x\">"}, {"<img alt=\"", "\"\""}};
         }},
    };
    for (const TPageCase& test : cases) {
        SCOPED_TRACE(test.name);
        TPageDescription page;
        page.FileBaseName = "anders";
        page.LongExtension = false;
        test.edit(page);
        const std::string bytes = PageBytes(page);
        const std::optional<TPageDescription> read = ReadPage(bytes);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(FieldLines(*read), FieldLines(Shown(page)));
    }
}

// Texts that hold the template's own lines and separators make a plain
// reading go wrong; the page must still be read back.
TEST(ReadPage, ReadsTextsThatLookLikeTheTemplate) {
    const TPageCase cases[] = {
        {"text lines that look like an image row",
         [](TPageDescription& p) {
             p.Links = SomeLinks(1);
             p.TextLines = {"a", "</tr>", "<tr>", "<th>", "<img src=\"x\">", "</th>"};
         }},
        {"text lines that look like an image row with breaks",
         [](TPageDescription& p) {
             p.TextLines = {"<tr>", "<th>", "<br>", "<img src=\"x\">", "</th>"};
         }},
        // Read as images, their breaks differ: the reading without images is right.
        {"text lines that look like images with different breaks",
         [](TPageDescription& p) {
             p.TextLines = {"a", "</tr>", "<tr>", "<th>", "<img src=\"a\">", "<br>", "<img src=\"b\">", "</th>"};
         }},
        {"text lines that look like link rows",
         [](TPageDescription& p) {
             p.Links = SomeLinks(2);
             p.TextLines = {"</tr>", "<tr>", "<td><a href=\"x\">y</a></td>", "</tr>"};
             p.Images = {{"b.jpg", ""}};
         }},
        {"text line that looks like a text cell",
         [](TPageDescription& p) {
             p.TextLines = {"<td valign=\"top\" rowspan=\"2\">", "</tr>"};
         }},
        {"targets holding the cell's separators",
         [](TPageDescription& p) {
             p.Links = {{"t1", "\" align=\"middle\"><a href=\""}, {"\">", "x\">y"}, {"</a></td>", ""}};
             p.UseDots = true;
             p.DotImage = "d\"><a href=\"";
             p.UseLinkBackground = true;
             p.LinkBackgroundImage = "g\"><img src=\"";
             p.TextLines = {"</a></td>"};
         }},
        {"images whose texts hold breaks and closing lines, one without a caption, two breaks",
         [](TPageDescription& p) {
             p.Images = {{"<br>", "</th>"}, {"b.jpg", ""}, {"\">", "<img src=\"x\">"}};
             p.BreaksPerImage = 2;
         }},
        {"heading and body texts holding their separators",
         [](TPageDescription& p) {
             p.Title = "</title>";
             p.HeadingColor = "\" face=\"";
             p.HeadingFace = "\">";
             p.HeadingText = "</font></b>";
             p.BackgroundImage = "\" topmargin=\"1\" leftmargin=\"2\">";
             p.HeadingImage = "\" align=\"middle\">";
             p.CornerImageOn = true;
             p.CornerImage = "\"></th>";
         }},
    };
    for (const TPageCase& test : cases) {
        SCOPED_TRACE(test.name);
        TPageDescription page;
        test.edit(page);
        const std::string bytes = PageBytes(page);
        EXPECT_TRUE(ReadPage(bytes).has_value());
    }
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string ReplacedAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>(random() & 0xFF));
    return bytes;
}

TEST(ReadPage, RefusesWhatTheGeneratorDidNotWrite) {
    TPageDescription full;
    full.Links = SomeLinks(2);
    full.TextLines = {"Text"};
    full.Images = {{"a.jpg", ""}, {"b.jpg", ""}};
    const std::string defaults = PageBytes(TPageDescription{});
    const std::string page = PageBytes(full);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"one changed byte in a fixed part", Replaced(defaults, "<table", "<tabel")},
        {"another first line", Replaced(defaults, "<html>", "<html lang=\"de\">")},
        {"LF line ends", ReplacedAll(defaults, "\r\n", "\n")},
        {"missing last CR LF", defaults.substr(0, defaults.size() - 2)},
        {"empty input", ""},
        {"foreign page", "<!DOCTYPE html>\r\n<html>\r\n<head><title>x</title></head>\r\n<body></body>\r\n</html>\r\n"},
        {"random bytes", RandomBytes(4000)},
        {"extra trailing line", defaults + "\r\n"},
        {"leading zeros", Replaced(defaults, "topmargin=\"0\"", "topmargin=\"007\"")},
        {"plus sign", Replaced(defaults, "leftmargin=\"0\"", "leftmargin=\"+1\"")},
        {"number out of range", Replaced(defaults, "<th height=\"0\">", "<th height=\"2147483648\">")},
        {"font size 7", Replaced(defaults, "size=\"5\"", "size=\"7\"")},
        {"lone CR inside a line", Replaced(defaults, "Neue Seite</title>", "Neue\rSeite</title>")},
        {"lone LF inside a line", Replaced(defaults, "Neue Seite</title>", "Neue\nSeite</title>")},
        {"row span that misses a link", Replaced(page, "rowspan=\"3\"", "rowspan=\"4\"")},
        {"row span without links", Replaced(page, "rowspan=\"3\"", "rowspan=\"1\"")},
        {"huge row span", Replaced(page, "rowspan=\"3\"", "rowspan=\"18446744073709551615\"")},
        {"images with different breaks", Replaced(page, "<br>\r\n<img src=\"b.jpg\">", "<img src=\"b.jpg\">")},
        {"empty heading image line", Replaced(defaults, "bild.jpg", "")},
        {"link rows with different cell starts",
         Replaced(page, "<td><a href=\"seite2", "<td background=\"\"><a href=\"seite2")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_FALSE(ReadPage(test.bytes).has_value());
    }
}

}  // namespace
