#include "core/page_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "default_page.h"

namespace {

using core::GeneratePage;
using core::TLineList;
using core::TPageDescription;

using testpages::DefaultPageWithRows;
using testpages::kDefaultPageLines;

std::vector<std::string> Texts(const TLineList& lines) {
    return std::vector<std::string>(lines.begin(), lines.end());
}

TEST(GeneratePage, DefaultsGiveTheSixteenLinePage) {
    EXPECT_EQ(GeneratePage(TPageDescription{}), TLineList(kDefaultPageLines.begin(), kDefaultPageLines.end()));
}

TEST(GeneratePage, StyleBlockFollowsTheTwoFlags) {
    TPageDescription page;
    page.BoldLinks = true;
    EXPECT_EQ(GeneratePage(page).size(), 16u) << "no style lines without the style sheet";

    page.UseStyleSheet = true;
    page.LinkColor = "#111111";
    page.VisitedColor = "#222222";
    page.HoverColor = "red";
    page.ActiveColor = "#444444\"";
    TLineList lines = GeneratePage(page);
    const TLineList bold = {
        "<style type=\"text/css\"><!--",
        "a:link { text-decoration:none; font-weight:bold; color:#111111; }",
        "a:visited { text-decoration:none; font-weight:bold; color:#222222; }",
        "a:hover { text-decoration:none; font-weight:bold; color:red; }",
        "a:active { text-decoration:none; font-weight:bold; color:#444444\"; }",
        "--!></style>",
    };
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(TLineList(lines.begin() + 2, lines.begin() + 8), bold);
    EXPECT_EQ(lines[8], "</head>");

    // Without bold links the same block, but for the weight.
    page.BoldLinks = false;
    lines = GeneratePage(page);
    TLineList plain;
    for (const std::string_view view : bold) {
        std::string line(view);
        if (const std::size_t at = line.find("font-weight:bold; "); at != std::string::npos) line.erase(at, 18);
        plain.push_back(line);
    }
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(TLineList(lines.begin() + 2, lines.begin() + 8), plain);
}

TEST(GeneratePage, BodyLineCarriesBackgroundAndBothMargins) {
    struct Case {
        bool isImage;
        std::int32_t left, top;
        const char* expected;
    };
    const Case cases[] = {
        {false, 4, 9, "<body bgcolor=\"#FFFFFF\" topmargin=\"9\" leftmargin=\"4\">"},
        {true, -12, 2147483647, "<body background=\"hintergrund.jpg\" topmargin=\"2147483647\" leftmargin=\"-12\">"},
        {false, std::numeric_limits<std::int32_t>::min(), 0,
         "<body bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"-2147483648\">"},
    };
    for (const Case& c : cases) {
        TPageDescription page;
        page.BackgroundIsImage = c.isImage;
        page.MarginLeft = c.left;
        page.MarginTop = c.top;
        EXPECT_EQ(GeneratePage(page)[3], c.expected);
    }
}

TEST(GeneratePage, HeadingSizeMapsToFixedFontSizes) {
    struct Case {
        std::int32_t index;
        const char* size;
    };
    // Out-of-range indexes cannot come from the wizard; they are clamped.
    const Case cases[] = {{1, "3"},
                          {2, "4"},
                          {3, "5"},
                          {4, "6"},
                          {5, "8"},
                          {6, "10"},
                          {0, "3"},
                          {7, "10"},
                          {std::numeric_limits<std::int32_t>::min(), "3"},
                          {std::numeric_limits<std::int32_t>::max(), "10"}};
    for (const Case& c : cases) {
        TPageDescription page;
        page.HeadingSizeIndex = c.index;
        EXPECT_EQ(GeneratePage(page)[9],
                  std::string("<font size=\"") + c.size + "\" color=\"#000000\" face=\"Arial\">Neue Seite</font></b>")
            << c.index;
    }
}

TEST(GeneratePage, HeadingRowOptionalParts) {
    TPageDescription page;
    page.HeadingImage = "";
    std::vector<std::string> expected = testpages::DefaultPageWith({});
    expected.erase(expected.begin() + 10);
    EXPECT_EQ(Texts(GeneratePage(page)), expected) << "an empty heading image removes exactly its line";

    page = TPageDescription{};
    page.CornerImageOn = true;
    page.CornerImage = "ecke.gif";
    page.CornerHeight = -40;
    page.HeadingColor = "blue";
    page.HeadingFace = "Verdana, sans";
    page.HeadingText = "<i>Hallo & \"Welt\"</i> 100%{x}";
    const TLineList lines = GeneratePage(page);
    EXPECT_EQ(lines[6], "<th height=\"-40\">");
    EXPECT_EQ(lines[7], "<img src=\"ecke.gif\"></th>");
    EXPECT_EQ(lines[9],
              "<font size=\"5\" color=\"blue\" face=\"Verdana, sans\"><i>Hallo & \"Welt\"</i> 100%{x}</font></b>");
}

TEST(GeneratePage, LinkCellVariants) {
    struct Case {
        bool dots, background;
        const char* cell;
    };
    const Case cases[] = {
        {true, true,
         "<td background=\"lbg.jpg\"><img src=\"dot.jpg\" align=\"middle\"><a href=\"z.html\"><b>T</b></a></td>"},
        {true, false, "<td><img src=\"dot.jpg\" align=\"middle\"><a href=\"z.html\"><b>T</b></a></td>"},
        {false, true, "<td background=\"lbg.jpg\"><a href=\"z.html\"><b>T</b></a></td>"},
        {false, false, "<td><a href=\"z.html\"><b>T</b></a></td>"},
    };
    for (const Case& c : cases) {
        TPageDescription page;
        page.UseDots = c.dots;
        page.UseLinkBackground = c.background;
        page.Links = {{"<b>T</b>", "z.html"}};
        EXPECT_EQ(Texts(GeneratePage(page)), DefaultPageWithRows({"<tr>", c.cell})) << c.dots << c.background;
    }
}

TEST(GeneratePage, LinkRowsAndTextCellShareTheTable) {
    const std::string a = "<td><a href=\"a.html\">A</a></td>";
    const std::string b = "<td><a href=\"b.html\">B</a></td>";
    const std::string c = "<td><a href=\"c.html\">C</a></td>";
    const std::string font = "<font color=\"#000000\" face=\"Arial\">";
    struct Case {
        const char* name;
        std::vector<core::TLinkEntry> links;
        std::vector<std::string> text;
        std::vector<std::string> middle;
    };
    const Case cases[] = {
        {"one link, no text", {{"A", "a.html"}}, {}, {"<tr>", a}},
        {"one link, two lines",
         {{"A", "a.html"}},
         {"eins", "zwei"},
         {"<tr>", a, "<td valign=\"top\" rowspan=\"2\">", font, "eins", "zwei", "</tr>"}},
        {"three links and text",
         {{"A", "a.html"}, {"B", "b.html"}, {"C", "c.html"}},
         {""},
         {"<tr>", a, "<td valign=\"top\" rowspan=\"4\">", font, "", "</tr>", "<tr>", b, "</tr>", "<tr>", c, "</tr>"}},
        {"two links, no text", {{"A", "a.html"}, {"B", "b.html"}}, {}, {"<tr>", a, "<tr>", b, "</tr>"}},
        {"no links, text", {}, {"<p>x</p>"}, {"<td valign=\"top\" rowspan=\"1\">", font, "<p>x</p>", "</tr>"}},
    };
    for (const Case& tc : cases) {
        TPageDescription page;
        page.Links = tc.links;
        page.TextLines = tc.text;
        EXPECT_EQ(Texts(GeneratePage(page)), DefaultPageWithRows(tc.middle)) << tc.name;
    }
}

// Texts far longer than usual, and many of them, must arrive whole.
TEST(GeneratePage, LongTextsArriveWhole) {
    TPageDescription page;
    const std::string target(50000, 't');
    page.Links = {{"L", target}};
    std::vector<std::string> middle = {"<tr>", "<td><a href=\"" + target + "\">L</a></td>",
                                       "<td valign=\"top\" rowspan=\"2\">", "<font color=\"#000000\" face=\"Arial\">"};
    for (std::size_t i = 0; i < 400; ++i) {
        page.TextLines.push_back(std::string(i * 9, static_cast<char>('a' + i % 26)));
        middle.push_back(page.TextLines.back());
    }
    middle.push_back("</tr>");
    EXPECT_EQ(Texts(GeneratePage(page)), DefaultPageWithRows(middle));
}

TEST(GeneratePage, ImageRowBreaksComeBeforeEachImage) {
    TPageDescription page;
    page.Images = {{"a.jpg", "Erstes Bild"}, {"b.gif", ""}};
    page.BreaksPerImage = 2;
    EXPECT_EQ(Texts(GeneratePage(page)),
              DefaultPageWithRows({"<tr>", "<th>", "<br>", "<br>", "<img src=\"a.jpg\">Erstes Bild", "<br>", "<br>",
                                   "<img src=\"b.gif\">", "</th>", "</tr>"}));
    for (std::int32_t breaks : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
        page.BreaksPerImage = breaks;
        EXPECT_EQ(Texts(GeneratePage(page)), DefaultPageWithRows({"<tr>", "<th>", "<img src=\"a.jpg\">Erstes Bild",
                                                                  "<img src=\"b.gif\">", "</th>", "</tr>"}))
            << breaks;
    }
}

TEST(GeneratePage, EverythingAtOnceInPageOrder) {
    TPageDescription page;
    page.Title = "T\xFCr";  // Windows-1252 bytes pass untouched
    page.UseStyleSheet = true;
    page.BoldLinks = false;
    page.BackgroundIsImage = false;
    page.Links = {{"A", "a.html"}, {"B", "b.html"}};
    page.UseDots = true;
    page.TextLines = {"x"};
    page.Images = {{"i.jpg", "c"}};
    const std::vector<std::string> expected = testpages::DefaultPageWith({
        {2,
         {"<head><title>T\xFCr</title>", "<style type=\"text/css\"><!--",
          "a:link { text-decoration:none; color:#000000; }", "a:visited { text-decoration:none; color:#000000; }",
          "a:hover { text-decoration:none; color:#000000; }", "a:active { text-decoration:none; color:#000000; }",
          "--!></style>"}},
        {4, {"<body bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"0\">"}},
        {14,
         {"<tr>", "<td><img src=\"dot.jpg\" align=\"middle\"><a href=\"a.html\">A</a></td>",
          "<td valign=\"top\" rowspan=\"3\">", "<font color=\"#000000\" face=\"Arial\">", "x", "</tr>", "<tr>",
          "<td><img src=\"dot.jpg\" align=\"middle\"><a href=\"b.html\">B</a></td>", "</tr>", "<tr>", "<th>", "<br>",
          "<img src=\"i.jpg\">c", "</th>", "</tr>", "</table>"}},
    });
    EXPECT_EQ(Texts(GeneratePage(page)), expected);
}

// Each line of the page as written without the two options, replaced by
// the lines given for it; every other line stays.
using TLineChanges = std::vector<std::pair<std::string, std::vector<std::string>>>;

std::vector<std::string> Changed(const std::vector<std::string>& lines, const TLineChanges& changes) {
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        const auto change =
            std::find_if(changes.begin(), changes.end(), [&](const auto& c) { return c.first == line; });
        if (change == changes.end())
            out.push_back(line);
        else
            out.insert(out.end(), change->second.begin(), change->second.end());
    }
    return out;
}

TEST(GeneratePage, PhoneAndImageDescriptionOptionsChangeOnlyTheirLines) {
    TPageDescription rich;
    rich.UseStyleSheet = true;
    rich.CornerImageOn = true;
    rich.Links = {{"A", "a.html"}, {"B", "b.html"}};
    rich.UseDots = true;
    rich.TextLines = {"Hallo",
                      "<img src=\"l.jpg\" align=\"left\">",
                      "<center><img src=\"m.jpg\"></center>",
                      "<img src=\"r.jpg\" align=\"right\">",
                      "<img src=\"p.jpg\">",
                      "<img src=\"e.jpg\" alt=\"eigener Text\">"};
    rich.Images = {{"f.jpg", "Bild \"1\" & <2> \xFC &#322;"}, {"g.jpg", ""}};

    const std::string title = "<head><title>Neue Seite</title>";
    const std::string viewport = "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
    const std::string rule = "img { max-width: 100%; height: auto; }";
    const TLineChanges phoneDefault = {
        {title, {title, viewport, "<style type=\"text/css\"><!--", rule, "--!></style>"}}};
    const TLineChanges phoneRich = {{title, {title, viewport}}, {"--!></style>", {rule, "--!></style>"}}};
    const TLineChanges altDefault = {
        {"<img src=\"bild.jpg\" align=\"middle\">", {"<img alt=\"\" src=\"bild.jpg\" align=\"middle\">"}}};
    TLineChanges altRich = altDefault;
    altRich.insert(altRich.end(),
                   {{"<img src=\"eckbild.jpg\"></th>", {"<img alt=\"\" src=\"eckbild.jpg\"></th>"}},
                    {"<td><img src=\"dot.jpg\" align=\"middle\"><a href=\"a.html\">A</a></td>",
                     {"<td><img alt=\"\" src=\"dot.jpg\" align=\"middle\"><a href=\"a.html\">A</a></td>"}},
                    {"<td><img src=\"dot.jpg\" align=\"middle\"><a href=\"b.html\">B</a></td>",
                     {"<td><img alt=\"\" src=\"dot.jpg\" align=\"middle\"><a href=\"b.html\">B</a></td>"}},
                    {"<img src=\"l.jpg\" align=\"left\">", {"<img alt=\"\" src=\"l.jpg\" align=\"left\">"}},
                    {"<center><img src=\"m.jpg\"></center>", {"<center><img alt=\"\" src=\"m.jpg\"></center>"}},
                    {"<img src=\"r.jpg\" align=\"right\">", {"<img alt=\"\" src=\"r.jpg\" align=\"right\">"}},
                    {"<img src=\"p.jpg\">", {"<img alt=\"\" src=\"p.jpg\">"}},
                    {"<img src=\"f.jpg\">Bild \"1\" & <2> \xFC &#322;",
                     {"<img alt=\"Bild &quot;1&quot; & <2> \xFC &#322;\" src=\"f.jpg\">Bild \"1\" & <2> \xFC &#322;"}},
                    {"<img src=\"g.jpg\">", {"<img alt=\"\" src=\"g.jpg\">"}}});
    const auto both = [](TLineChanges a, const TLineChanges& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        const char* name;
        const TPageDescription& page;
        bool phones, descriptions;
        TLineChanges changes;
    };
    const TPageDescription defaults;
    const Case cases[] = {
        {"default page for phones", defaults, true, false, phoneDefault},
        {"default page with image descriptions", defaults, false, true, altDefault},
        {"default page with both", defaults, true, true, both(phoneDefault, altDefault)},
        {"rich page for phones", rich, true, false, phoneRich},
        {"rich page with image descriptions", rich, false, true, altRich},
        {"rich page with both", rich, true, true, both(phoneRich, altRich)},
    };
    for (const Case& c : cases) {
        TPageDescription page = c.page;
        const std::vector<std::string> without = Texts(GeneratePage(page));
        page.ForPhones = c.phones;
        page.ImageDescriptions = c.descriptions;
        EXPECT_EQ(Texts(GeneratePage(page)), Changed(without, c.changes)) << c.name;
    }
}

}  // namespace
