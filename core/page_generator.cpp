#include "core/page_generator.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace core {
namespace {

// The heading sizes 5 and 6 deliberately map to 8 and 10.
constexpr std::string_view kFontSizes[] = {"3", "4", "5", "6", "8", "10"};

std::string_view FontSize(std::int32_t headingSizeIndex) {
    const std::int32_t index = std::clamp<std::int32_t>(headingSizeIndex, 1, 6);
    return kFontSizes[index - 1];
}

char* CopyPart(char* at, std::string_view part) {
    std::memcpy(at, part.data(), part.size());
    return at + part.size();
}

// Plain concatenation: user text is copied, never interpreted. Pages with
// many entries make this the hot path, so every line is sized first and
// built with one allocation; literal parts become inline copies.
template <typename... Parts>
std::string Join(const Parts&... parts) {
    std::string line((std::string_view(parts).size() + ...), '\0');
    char* at = line.data();
    ((at = CopyPart(at, parts)), ...);
    return line;
}

void AppendStyleBlock(TLineList& out, const TPageDescription& page) {
    out.emplace_back("<style type=\"text/css\"><!--");
    const std::string_view rule = page.BoldLinks ? " { text-decoration:none; font-weight:bold; color:"
                                                 : " { text-decoration:none; color:";
    out.push_back(Join("a:link", rule, page.LinkColor, "; }"));
    out.push_back(Join("a:visited", rule, page.VisitedColor, "; }"));
    out.push_back(Join("a:hover", rule, page.HoverColor, "; }"));
    out.push_back(Join("a:active", rule, page.ActiveColor, "; }"));
    out.emplace_back("--!></style>");
}

void AppendBodyStart(TLineList& out, const TPageDescription& page) {
    const std::string top = std::to_string(page.MarginTop);
    const std::string left = std::to_string(page.MarginLeft);
    if (page.BackgroundIsImage)
        out.push_back(Join("<body background=\"", page.BackgroundImage, "\" topmargin=\"", top, "\" leftmargin=\"",
                           left, "\">"));
    else
        out.push_back(Join("<body bgcolor=\"", page.BackgroundColor, "\" topmargin=\"", top, "\" leftmargin=\"",
                           left, "\">"));
}

void AppendHeadingRow(TLineList& out, const TPageDescription& page) {
    out.emplace_back("<tr>");
    out.push_back(Join("<th height=\"", std::to_string(page.CornerHeight), "\">"));
    out.push_back(page.CornerImageOn ? Join("<img src=\"", page.CornerImage, "\"></th>") : std::string("</th>"));
    out.emplace_back("<td><b>");
    out.push_back(Join("<font size=\"", FontSize(page.HeadingSizeIndex), "\" color=\"", page.HeadingColor,
                       "\" face=\"", page.HeadingFace, "\">", page.HeadingText, "</font></b>"));
    if (!page.HeadingImage.empty()) out.push_back(Join("<img src=\"", page.HeadingImage, "\" align=\"middle\">"));
    out.emplace_back("</td>");
    out.emplace_back("</tr>");
}

// Everything of a link cell before the target: the same for every link.
std::string LinkCellStart(const TPageDescription& page) {
    const std::string_view cellStart = page.UseLinkBackground ? "<td background=\"" : "<td>";
    const std::string_view background = page.UseLinkBackground ? std::string_view(page.LinkBackgroundImage) : "";
    const std::string_view backgroundEnd = page.UseLinkBackground ? "\">" : "";
    const std::string_view dotStart = page.UseDots ? "<img src=\"" : "";
    const std::string_view dot = page.UseDots ? std::string_view(page.DotImage) : "";
    const std::string_view dotEnd = page.UseDots ? "\" align=\"middle\">" : "";
    return Join(cellStart, background, backgroundEnd, dotStart, dot, dotEnd, "<a href=\"");
}

void AppendLinkCell(TLineList& out, std::string_view cellStart, const TLinkEntry& link) {
    out.push_back(Join(cellStart, link.Target, "\">", link.Text, "</a></td>"));
}

void AppendTextCell(TLineList& out, const TPageDescription& page) {
    const std::string rowSpan = std::to_string(static_cast<std::int64_t>(page.Links.size()) + 1);
    out.push_back(Join("<td valign=\"top\" rowspan=\"", rowSpan, "\">"));
    out.push_back(Join("<font color=\"", page.TextColor, "\" face=\"", page.TextFace, "\">"));
    out.insert(out.end(), page.TextLines.begin(), page.TextLines.end());
    out.emplace_back("</tr>");
}

void AppendImageRow(TLineList& out, const TPageDescription& page) {
    out.emplace_back("<tr>");
    out.emplace_back("<th>");
    for (const TImageEntry& image : page.Images) {
        for (std::int32_t i = 0; i < page.BreaksPerImage; ++i) out.emplace_back("<br>");
        out.push_back(Join("<img src=\"", image.FileName, "\">", image.Caption));
    }
    out.emplace_back("</th>");
    out.emplace_back("</tr>");
}

std::size_t LineCount(const TPageDescription& page) {
    const std::size_t breaks = page.BreaksPerImage > 0 ? static_cast<std::size_t>(page.BreaksPerImage) : 0;
    return 32 + page.TextLines.size() + 3 * page.Links.size() + (breaks + 1) * page.Images.size();
}

}  // namespace

TLineList GeneratePage(const TPageDescription& page) {
    TLineList out;
    out.reserve(LineCount(page));

    out.emplace_back("<html>");
    out.push_back(Join("<head><title>", page.Title, "</title>"));
    if (page.UseStyleSheet) AppendStyleBlock(out, page);
    out.emplace_back("</head>");
    AppendBodyStart(out, page);
    out.emplace_back("<table cellspacing=\"0\" cellpadding=\"0\">");
    AppendHeadingRow(out, page);

    // The first link shares its row with the text cell, which spans all
    // link rows and the image row; without text that row stays unclosed.
    const std::string linkCellStart = LinkCellStart(page);
    if (!page.Links.empty()) {
        out.emplace_back("<tr>");
        AppendLinkCell(out, linkCellStart, page.Links.front());
    }
    if (!page.TextLines.empty()) AppendTextCell(out, page);
    for (std::size_t i = 1; i < page.Links.size(); ++i) {
        out.emplace_back("<tr>");
        AppendLinkCell(out, linkCellStart, page.Links[i]);
        out.emplace_back("</tr>");
    }
    if (!page.Images.empty()) AppendImageRow(out, page);

    out.emplace_back("</table>");
    out.emplace_back("</body>");
    out.emplace_back("</html>");
    return out;
}

}  // namespace core
