#include "core/page_reader.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "core/page_generator.h"

namespace core {
namespace {

// What is left of a page's lines, taken off either end without copying.
// Every line ends with CR LF and holds no other CR or LF: the texts of a
// description hold none, so any other CR or LF means the page is not ours.
class TLines {
public:
    TLines() = default;
    // `bytes` is empty or ends with CR LF.
    explicit TLines(std::string_view bytes) : bytes_(bytes) {}

    bool empty() const { return bytes_.empty(); }

    bool Take(std::string_view& line) {
        const std::size_t end = bytes_.find('\r');
        // A CR is never the last byte: the bytes end with CR LF.
        if (end == std::string_view::npos || bytes_[end + 1] != '\n') return false;
        line = bytes_.substr(0, end);
        if (line.find('\n') != std::string_view::npos) return false;
        bytes_.remove_prefix(end + 2);
        return true;
    }

    bool TakeLast(std::string_view& line) {
        if (bytes_.empty()) return false;
        const std::string_view before = bytes_.substr(0, bytes_.size() - 2);
        const std::size_t start =
            static_cast<std::size_t>(before.rend() - std::find(before.rbegin(), before.rend(), '\n'));
        if (start == 1 || (start > 1 && before[start - 2] != '\r')) return false;
        line = before.substr(start);
        if (line.find('\r') != std::string_view::npos) return false;
        bytes_ = bytes_.substr(0, start);
        return true;
    }

    // A fixed line is compared in place, without looking for its end.
    bool TakeFixed(std::string_view fixed) {
        if (!bytes_.starts_with(fixed) || !bytes_.substr(fixed.size()).starts_with("\r\n")) return false;
        bytes_.remove_prefix(fixed.size() + 2);
        return true;
    }

    bool TakeLastFixed(std::string_view fixed) {
        if (bytes_.empty()) return false;
        const std::string_view before = bytes_.substr(0, bytes_.size() - 2);
        if (!before.ends_with(fixed)) return false;
        const std::size_t start = before.size() - fixed.size();
        if (start == 1 || (start > 1 && (before[start - 1] != '\n' || before[start - 2] != '\r'))) return false;
        bytes_ = bytes_.substr(0, start);
        return true;
    }

private:
    std::string_view bytes_;
};

// Every line is fixed parts around free texts. A text is cut at the first
// occurrence of the fixed part after it: even when the user's text holds
// that part itself, the pieces join back to the same line, and that line is
// all the page has to be written again.
bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool TakeSuffix(std::string_view& text, std::string_view suffix) {
    if (!text.ends_with(suffix)) return false;
    text.remove_suffix(suffix.size());
    return true;
}

bool TakeTextBefore(std::string_view& rest, std::string_view separator, std::string_view& text) {
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos) return false;
    text = rest.substr(0, at);
    rest.remove_prefix(at + separator.size());
    return true;
}

// For numbers, which hold no quotes, the last occurrence is the right one.
bool TakeTextAfterLast(std::string_view& rest, std::string_view separator, std::string_view& text) {
    const std::size_t at = rest.rfind(separator);
    if (at == std::string_view::npos) return false;
    text = rest.substr(at + separator.size());
    rest = rest.substr(0, at);
    return true;
}

// Leading zeros, "-0", trailing bytes and the like are read as well; the
// final comparison turns them away, since the generator never writes them.
template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

// A line of one text between a fixed start and end; nothing is taken when
// the next line is not of that shape.
bool TakeLineBetween(TLines& lines, std::string_view prefix, std::string_view suffix, std::string_view& text) {
    TLines rest = lines;
    std::string_view line;
    if (!rest.Take(line) || !TakePrefix(line, prefix) || !TakeSuffix(line, suffix)) return false;
    text = line;
    lines = rest;
    return true;
}

std::string_view ImageStart(const TPageDescription& page) {
    return page.ImageDescriptions ? kDecorationStart : kImageStart;
}

bool ReadLinkRules(TLines& lines, TPageDescription& page) {
    constexpr std::string_view kBoldRule = " { text-decoration:none; font-weight:bold; color:";
    constexpr std::string_view kPlainRule = " { text-decoration:none; color:";
    TLines rest = lines;
    std::string_view first;
    page.BoldLinks = rest.Take(first) && TakePrefix(first, "a:link") && first.starts_with(kBoldRule);
    const std::string_view rule = page.BoldLinks ? kBoldRule : kPlainRule;
    const std::pair<std::string_view, std::string*> colors[] = {{"a:link", &page.LinkColor},
                                                                {"a:visited", &page.VisitedColor},
                                                                {"a:hover", &page.HoverColor},
                                                                {"a:active", &page.ActiveColor}};
    for (const auto& [name, color] : colors) {
        std::string_view line;
        if (!lines.Take(line) || !TakePrefix(line, name) || !TakePrefix(line, rule) || !TakeSuffix(line, "; }"))
            return false;
        *color = line;
    }
    return true;
}

bool ReadStyleBlock(TLines& lines, TPageDescription& page) {
    // For phones the block is written even without style sheets, then
    // holding the phone's rule alone.
    TLines rest = lines;
    page.UseStyleSheet = !page.ForPhones || !rest.TakeFixed(kPhoneImageRule);
    if (page.UseStyleSheet && !ReadLinkRules(lines, page)) return false;
    if (page.ForPhones && !lines.TakeFixed(kPhoneImageRule)) return false;
    return lines.TakeFixed("--!></style>");
}

bool ReadHead(TLines& lines, TPageDescription& page) {
    std::string_view title;
    if (!lines.TakeFixed("<html>") || !TakeLineBetween(lines, "<head><title>", "</title>", title)) return false;
    page.Title = title;
    page.ForPhones = lines.TakeFixed(kPhoneViewport);
    if (lines.TakeFixed("<style type=\"text/css\"><!--") && !ReadStyleBlock(lines, page)) return false;
    return lines.TakeFixed("</head>");
}

bool ReadBodyStart(TLines& lines, TPageDescription& page) {
    std::string_view line, top, left;
    if (!lines.Take(line) || !TakeSuffix(line, "\">") || !TakeTextAfterLast(line, "\" leftmargin=\"", left) ||
        !TakeTextAfterLast(line, "\" topmargin=\"", top) || !ReadNumber(left, page.MarginLeft) ||
        !ReadNumber(top, page.MarginTop))
        return false;
    page.BackgroundIsImage = TakePrefix(line, "<body background=\"");
    if (page.BackgroundIsImage)
        page.BackgroundImage = line;
    else if (TakePrefix(line, "<body bgcolor=\""))
        page.BackgroundColor = line;
    else
        return false;
    return lines.TakeFixed("<table cellspacing=\"0\" cellpadding=\"0\">");
}

bool ReadHeadingLine(std::string_view line, TPageDescription& page) {
    std::string_view size, color, face;
    if (!TakePrefix(line, "<font size=\"") || !TakeSuffix(line, "</font></b>") ||
        !TakeTextBefore(line, "\" color=\"", size) || !TakeTextBefore(line, "\" face=\"", color) ||
        !TakeTextBefore(line, "\">", face))
        return false;
    std::int32_t index = 1;
    // A size the generator never writes reads as 7, which writes "10".
    while (index <= 6 && HeadingFontSize(index) != size) ++index;
    page.HeadingSizeIndex = index;
    page.HeadingColor = color;
    page.HeadingFace = face;
    page.HeadingText = line;
    return true;
}

bool ReadHeadingRow(TLines& lines, TPageDescription& page) {
    std::string_view height, corner, heading, image;
    if (!lines.TakeFixed("<tr>") || !TakeLineBetween(lines, "<th height=\"", "\">", height) ||
        !ReadNumber(height, page.CornerHeight))
        return false;
    if (!lines.TakeFixed("</th>")) {
        if (!TakeLineBetween(lines, ImageStart(page), "\"></th>", corner)) return false;
        page.CornerImageOn = true;
        page.CornerImage = corner;
    }
    if (!lines.TakeFixed("<td><b>") || !lines.Take(heading) || !ReadHeadingLine(heading, page)) return false;
    // An empty heading image writes no line.
    page.HeadingImage = TakeLineBetween(lines, ImageStart(page), "\" align=\"middle\">", image) ? image : "";
    return lines.TakeFixed("</td>") && lines.TakeFixed("</tr>");
}

bool TakeDocumentEnd(TLines& lines) {
    return lines.TakeLastFixed("</html>") && lines.TakeLastFixed("</body>") && lines.TakeLastFixed("</table>");
}

// Everything of a link cell before the target: the same in every cell.
struct TCellStart {
    std::string_view BackgroundImage;
    std::string_view DotImage;
    std::string_view Text;
};

// The shortest start of this form that `cell` begins with. The true form's
// shortest start is a prefix of the true start, so every other cell of the
// page begins with it too.
std::optional<TCellStart> ShortestCellStart(std::string_view cell, bool background, bool dots,
                                            std::string_view imageStart) {
    TCellStart start;
    std::string_view rest = cell;
    if (background) {
        const std::string backgroundEnd = dots ? "\">" + std::string(imageStart) : "\"><a href=\"";
        if (!TakePrefix(rest, "<td background=\"") || !TakeTextBefore(rest, backgroundEnd, start.BackgroundImage))
            return std::nullopt;
    } else if (dots ? !TakePrefix(rest, "<td>") || !TakePrefix(rest, imageStart)
                    : !TakePrefix(rest, "<td><a href=\"")) {
        return std::nullopt;
    }
    if (dots && !TakeTextBefore(rest, "\" align=\"middle\"><a href=\"", start.DotImage)) return std::nullopt;
    start.Text = cell.substr(0, cell.size() - rest.size());
    return start;
}

bool ReadLinkCells(const std::vector<std::string_view>& cells, const TCellStart& start,
                   std::vector<TLinkEntry>& links) {
    links.clear();
    links.reserve(cells.size());
    for (std::string_view cell : cells) {
        std::string_view target;
        if (!TakePrefix(cell, start.Text) || !TakeSuffix(cell, "</a></td>") || !TakeTextBefore(cell, "\">", target))
            return false;
        links.push_back({.Text = std::string(cell), .Target = std::string(target)});
    }
    return true;
}

bool ReadLinks(const std::vector<std::string_view>& cells, TPageDescription& page) {
    if (cells.empty()) return true;
    // A background image may hold what looks like a dot image: the form
    // with more parts goes first, so that an ordinary page reads as written.
    for (const bool background : {true, false}) {
        for (const bool dots : {true, false}) {
            const std::optional<TCellStart> start =
                ShortestCellStart(cells.front(), background, dots, ImageStart(page));
            if (!start || !ReadLinkCells(cells, *start, page.Links)) continue;
            page.UseLinkBackground = background;
            if (background) page.LinkBackgroundImage = start->BackgroundImage;
            page.UseDots = dots;
            if (dots) page.DotImage = start->DotImage;
            return true;
        }
    }
    page.Links.clear();
    return false;
}

struct TImageLine {
    std::string_view FileName;
    std::string_view Caption;
};

// The caption at the end of `rest` whose alt text is `alt`, matched from
// the back: a quote in the caption stands for "&quot;" in the alt text,
// every other byte for itself.
bool TakeCaptionOfAlt(std::string_view alt, std::string_view& rest, std::string_view& caption) {
    constexpr std::string_view kQuote = "&quot;";
    std::size_t end = rest.size();
    while (!alt.empty()) {
        if (end == 0) return false;
        const char ch = rest[--end];
        if (ch == '"' ? !TakeSuffix(alt, kQuote) : alt.back() != ch) return false;
        if (ch != '"') alt.remove_suffix(1);
    }
    caption = rest.substr(end);
    rest = rest.substr(0, end);
    return true;
}

bool ReadImageLine(std::string_view line, bool described, TImageLine& image) {
    if (!described) {
        image.Caption = line;
        return TakePrefix(image.Caption, kImageStart) && TakeTextBefore(image.Caption, "\">", image.FileName);
    }
    // The alt text holds no quote: it ends at the first one.
    std::string_view alt;
    if (!TakePrefix(line, "<img alt=\"") || !TakeTextBefore(line, "\" src=\"", alt) ||
        alt.find('"') != std::string_view::npos || !TakeCaptionOfAlt(alt, line, image.Caption) ||
        !TakeSuffix(line, "\">"))
        return false;
    image.FileName = line;
    return true;
}

// Reads the image row from its end upwards, the part of the page whose
// lines are all recognisable: "</tr>", "</th>", then each image line with
// the same number of breaks before it, then "<th>", "<tr>". The image
// lines come last to first.
bool TakeImageRowFromBack(TLines& lines, bool described, std::vector<TImageLine>& images,
                          std::int32_t& breaksPerImage) {
    TLines rest = lines;
    if (!rest.TakeLastFixed("</tr>") || !rest.TakeLastFixed("</th>")) return false;
    std::optional<std::size_t> breaks;
    while (!rest.TakeLastFixed("<th>")) {
        TImageLine image;
        std::string_view line;
        if (!rest.TakeLast(line) || !ReadImageLine(line, described, image)) return false;
        images.push_back(image);
        std::size_t run = 0;
        while (rest.TakeLastFixed("<br>")) ++run;
        if (breaks && run != *breaks) return false;
        breaks = run;
    }
    if (!breaks || !rest.TakeLastFixed("<tr>")) return false;
    // More breaks than an int32 holds would take a page of gigabytes; the
    // comparison with the page written again refuses them.
    breaksPerImage = static_cast<std::int32_t>(*breaks);
    lines = rest;
    return true;
}

// Splits what lies between the text cell's font line and the image row
// into the text lines, the text cell's "</tr>" and the rows of the second
// and later links, `linkRows` of them, whose cells go to `cells`. Without
// text, `linkRows` is unknown and every line belongs to a link row.
bool SplitTextAndLinkRows(TLines lines, std::optional<std::size_t> linkRows, TLines& texts,
                          std::vector<std::string_view>& cells) {
    std::vector<std::string_view> rowCells;
    std::string_view cell;
    if (!linkRows) {
        while (!lines.empty()) {
            if (!lines.TakeFixed("<tr>") || !lines.Take(cell) || !lines.TakeFixed("</tr>")) return false;
            rowCells.push_back(cell);
        }
    } else {
        for (std::size_t row = 0; row < *linkRows; ++row) {
            if (!lines.TakeLastFixed("</tr>") || !lines.TakeLast(cell) || !lines.TakeLastFixed("<tr>")) return false;
            rowCells.push_back(cell);
        }
        std::reverse(rowCells.begin(), rowCells.end());
        if (!lines.TakeLastFixed("</tr>") || lines.empty()) return false;
    }
    texts = lines;
    cells.insert(cells.end(), rowCells.begin(), rowCells.end());
    return true;
}

// Everything between the heading row and the document end: the first link
// row, the text cell, the other link rows, the image row.
bool ReadRows(TLines lines, TPageDescription& page) {
    std::vector<std::string_view> cells;
    TLines afterFirstLink = lines;
    std::string_view firstCell;
    if (afterFirstLink.TakeFixed("<tr>") && afterFirstLink.Take(firstCell) && firstCell.starts_with("<td")) {
        cells.push_back(firstCell);
        lines = afterFirstLink;
    }
    // The text cell spans every link row and the image row: its row span
    // tells how many link rows follow the text, which the text lines,
    // free as they are, could not.
    std::optional<std::size_t> linkRowsAfterText;
    std::string_view rowSpan, font, textColor;
    if (TakeLineBetween(lines, "<td valign=\"top\" rowspan=\"", "\">", rowSpan)) {
        std::size_t spanned = 0;
        if (!ReadNumber(rowSpan, spanned) || !TakeLineBetween(lines, "<font color=\"", "\">", font) ||
            !TakeTextBefore(font, "\" face=\"", textColor))
            return false;
        page.TextColor = textColor;
        page.TextFace = font;
        linkRowsAfterText = spanned > 1 ? spanned - 2 : 0;
    }

    // Text lines may look like an image row; when reading one off the end
    // leaves no room for what must come before it, there are no images.
    TLines texts;
    std::vector<TImageLine> images;
    TLines beforeImages = lines;
    const bool hasImages = TakeImageRowFromBack(beforeImages, page.ImageDescriptions, images, page.BreaksPerImage) &&
                           SplitTextAndLinkRows(beforeImages, linkRowsAfterText, texts, cells);
    if (!hasImages) {
        images.clear();
        page.BreaksPerImage = TPageDescription().BreaksPerImage;
        if (!SplitTextAndLinkRows(lines, linkRowsAfterText, texts, cells)) return false;
    }
    std::string_view text;
    while (!texts.empty()) {
        if (!texts.Take(text)) return false;
        std::optional<std::string> typed =
            page.ImageDescriptions ? InlineImageStartedWith(text, kDecorationStart, kImageStart) : std::nullopt;
        if (typed)
            page.TextLines.push_back(std::move(*typed));
        else
            page.TextLines.emplace_back(text);
    }
    page.Images.reserve(images.size());
    for (auto image = images.rbegin(); image != images.rend(); ++image)
        page.Images.push_back({.FileName = std::string(image->FileName), .Caption = std::string(image->Caption)});
    return ReadLinks(cells, page);
}

// Whether the page writes any <img> tag of its own, the only place image
// descriptions show.
bool WritesImages(const TPageDescription& page) {
    return !page.HeadingImage.empty() || page.CornerImageOn || (page.UseDots && !page.Links.empty()) ||
           !page.Images.empty() ||
           std::any_of(page.TextLines.begin(), page.TextLines.end(), [](const std::string& line) {
               return InlineImageStartedWith(line, kImageStart, kDecorationStart).has_value();
           });
}

std::optional<TPageDescription> Parse(std::string_view bytes, bool described) {
    if (!bytes.ends_with("\r\n")) return std::nullopt;
    TLines lines(bytes);
    TPageDescription page;
    page.ImageDescriptions = described;
    if (!ReadHead(lines, page) || !ReadBodyStart(lines, page) || !ReadHeadingRow(lines, page) ||
        !TakeDocumentEnd(lines) || !ReadRows(lines, page))
        return std::nullopt;
    // Without an image tag the descriptions change no byte: such a page
    // reads as written without them.
    if (described && !WritesImages(page)) return std::nullopt;
    return page;
}

}  // namespace

std::optional<TPageDescription> ReadPage(std::string_view fileBytes) {
    // A page with image descriptions might also read as one without, its
    // image row taken for text lines: that reading comes second. One
    // without fails the first reading early, at its heading image.
    for (const bool described : {true, false}) {
        std::optional<TPageDescription> page = Parse(fileBytes, described);
        // What was read counts only when it writes exactly these bytes again.
        if (page && GeneratePage(*page).FileBytes() == fileBytes) return page;
    }
    return std::nullopt;
}

}  // namespace core
