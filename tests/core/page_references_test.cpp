// The files a written page names, read as a browser reads the page.

#include "core/page_references.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/rows.h"

namespace {

using core::TPageDescription;
using TNames = std::vector<std::string>;

// The default page without its two images, so that a row lists only its own.
TPageDescription Bare() {
    TPageDescription page;
    page.BackgroundIsImage = false;
    page.HeadingImage.clear();
    return page;
}

TEST(PageReferences, AreTheFilesABrowserWouldLoad) {
    const testsupport::TStepsRow<TPageDescription, TNames> rows[] = {
        {"defaults", [](TPageDescription& page) { page = TPageDescription{}; }, {"hintergrund.jpg", "bild.jpg"}},
        {"every image kind in page order",
         [](TPageDescription& page) {
             page = TPageDescription{};
             page.CornerImageOn = true;
             page.UseDots = true;
             page.UseLinkBackground = true;
             page.Links = {{"Eins", "eins.html"}, {"Zwei", "zwei.html"}};
             page.TextLines = {"<img src=\"inline.png\" align=\"left\">"};
             page.Images = {{"spalte.gif", "Text"}, {"bilder/zwei.webp", ""}};
         },
         {"hintergrund.jpg", "eckbild.jpg", "bild.jpg", "lbg.jpg", "dot.jpg", "eins.html", "inline.png", "zwei.html",
          "spalte.gif", "bilder/zwei.webp"}},
        // The background, corner, dot and link background images keep their
        // names with their switches off.
        {"fields the page does not use",
         [](TPageDescription& page) {
             page.Links = {{"Eins", "eins.html"}};
         },
         {"eins.html"}},
        {"typed markup, any case, quotes and white space",
         [](TPageDescription& page) {
             page.TextLines = {"<A HREF='a.html'>a</A><IMG\tSRC=b.gif>", "<td BackGround = \"c.png\">",
                               "<img src=\"d.jpg\" src=\"zweites.jpg\"><link href=style.css>",
                               "<img\nsrc=f.gif><img\rsrc=g.gif><img\fsrc=h.gif>"};
             page.HeadingText = "<img src=\"e.jpg\">";
         },
         {"e.jpg", "a.html", "b.gif", "c.png", "d.jpg", "style.css", "f.gif", "g.gif", "h.gif"}},
        {"absolute URLs and fragments",
         [](TPageDescription& page) {
             page.Links = {{"a", "http://x.de/a.jpg"},
                           {"b", "HTTPS://x.de"},
                           {"c", "mailto:a@b.de"},
                           {"d", "javascript:void(0)"},
                           {"e", "//x.de/e.jpg"},
                           {"f", "#oben"},
                           {"g", ""},
                           {"h", "?seite=2"},
                           {"i", "ftp.html#unten"},
                           {"j", "c:\\bilder\\j.jpg"},
                           {"k", "HTTP://x.de/k.jpg"},
                           {"l", "DATA:image/png;base64,AAAA"},
                           {"m", "JAVASCRIPT:void(0)"},
                           {"n", " Data:x"}};
         },
         {"ftp.html"}},
        {"comments, scripts, title, style, noembed and base are no references",
         [](TPageDescription& page) {
             page.Title = "<img src=\"titel.jpg\">";
             page.UseStyleSheet = true;
             page.LinkColor = "<img src=stil.jpg>";
             page.TextLines = {"<!-- <img src=\"kommentar.jpg\"> -->", "<SCRIPT>x='<img src=\"s.jpg\">'</script>",
                               "<base href=\"basis/\">",
                               "<style><img src=\"style.jpg\"></style><noembed><img src=noembed.jpg></noembed>",
                               "<img src=\"echt.jpg\">"};
         },
         {"echt.jpg"}},
        // An end tag is read up to its ">" like any tag; "</" without a
        // letter is a comment up to the first ">", quoted or not.
        {"end tags and a \"</\" of the text",
         [](TPageDescription& page) {
             page.TextLines = {"</a title=\">\" <img src=\"falsch.jpg\">", "</1 a=\">\" <img src=\"ja.jpg\">"};
         },
         {"ja.jpg"}},
        {"comments that close at once",
         [](TPageDescription& page) { page.TextLines = {"<!--><img src=\"a.jpg\"><!---><img src=\"b.jpg\">"}; },
         {"a.jpg", "b.jpg"}},
        {"each file once",
         [](TPageDescription& page) {
             page.UseDots = true;
             page.Links = {{"a", "dot.jpg"}, {"b", "./dot.jpg"}};
             page.Images = {{"dot.jpg", ""}};
         },
         {"dot.jpg"}},
        {"a page cut off inside a tag",
         [](TPageDescription& page) {
             page.TextLines = {"<img src=\"offen.jpg", "<!-- <img src=x.jpg>"};
         },
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TPageDescription page = Bare();
        row.steps(page);
        EXPECT_EQ(core::LocalReferences(page), row.expected);
    }
}

// How a picture's name is read: references, escapes and the name's edges.
TEST(PageReferences, DecodePictureNamesAsABrowserDoes) {
    const struct {
        const char* name;
        std::vector<std::string> pictures;
        TNames expected;
    } rows[] = {
        {"references, escapes, query, dots and backslashes decoded",
         {"a%23b.jpg", "M&amp;M.png", "gr&#252;n.jpg", "gr\xFCn2.jpg", "Reise&#x2192;Rom.jpg", "neu.jpg?v=2#x",
          "./bilder/../c.jpg", "bilder\\bg.jpg", " weit.jpg ", "%C3%BC.jpg", "&euro;&#128;.jpg"},
         {"a#b.jpg", "M&M.png", "gr\xC3\xBCn.jpg", "gr\xC3\xBCn2.jpg", "Reise\xE2\x86\x92Rom.jpg", "neu.jpg", "c.jpg",
          "bilder/bg.jpg", "weit.jpg", "\xC3\xBC.jpg", "\xE2\x82\xAC\xE2\x82\xAC.jpg"}},
        // "&#" without digits is text, and the "#" starts the fragment.
        {"references at the edges",
         {"bild&#", "hex&#x", "u&#x7F;v&#159;.jpg"},
         {"bild&", "hex&", "u\x7Fv\xC5\xB8.jpg"}},
        {"\"&num;\" is a \"#\" and starts the fragment", {"foto&num;2.jpg"}, {"foto"}},
        {"named letters", {"stra&szlig;e.jpg", "&Ouml;l&Uuml;&eacute;&egrave;.jpg"}, {"straße.jpg", "ÖlÜéè.jpg"}},
        {"tabs and line breaks inside dropped", {"a\tb.jpg", "c\nd.jpg", "e\rf.jpg"}, {"ab.jpg", "cd.jpg", "ef.jpg"}},
        {"an escape at the name's end read when whole, kept when cut short",
         {"m%C3%BC", "bild%4"},
         {"m\xC3\xBC", "bild%4"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TPageDescription page = Bare();
        for (const std::string& picture : row.pictures) page.Images.push_back({picture, ""});
        EXPECT_EQ(core::LocalReferences(page), row.expected);
    }
}

// Which link targets name a page of the same folder, as a browser reads them.
TEST(PageReferences, NameThePagesBesideThisOne) {
    const struct {
        const char* target;
        const char* page;
    } rows[] = {
        {"impressum.html", "impressum.html"},
        {"seiten/fotos.htm#oben", "seiten/fotos.htm"},
        {"./seiten/../%C3%BCber.html?x=1",
         "\xC3\xBC"
         "ber.html"},
        {"&#252;ber.html",
         "\xC3\xBC"
         "ber.html"},
        {"bild.jpg", ""},
        {"seite.html.bak", ""},
        {"SEITE.HTML", ""},
        {"../nachbar.html", ""},
        {"/var/www/index.html", ""},
        {"https://example.org/index.html", ""},
        {"//example.org/index.html", ""},
        {"#oben", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(core::LinkedPageName(row.target), row.page) << row.target;
}

}  // namespace
