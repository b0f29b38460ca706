#pragma once

// A page description made of fuzzer bytes, shared by the fuzz targets.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "core/page_description.h"

namespace fuzzing {

constexpr std::size_t kMaxEntries = 199;
constexpr std::size_t kMaxTextLength = 48;

// The template's own lines and separators: texts made of them make a plain
// reading of the page go wrong.
inline constexpr std::string_view kTemplatePieces[] = {"</tr>",
                                                       "<tr>",
                                                       "<br>",
                                                       "<th>",
                                                       "</th>",
                                                       "<img src=\"x\">",
                                                       "</a></td>",
                                                       "\"",
                                                       "\">",
                                                       "<td valign=\"top\" rowspan=\"2\">",
                                                       "\" align=\"middle\"><a href=\"",
                                                       "\" face=\"",
                                                       "\" leftmargin=\"",
                                                       "<td>"};

// Without line breaks a text stays on its line, as typed texts do.
inline std::string Text(FuzzedDataProvider& in, bool lineBreaks) {
    if (in.ConsumeBool()) {
        std::string text;
        for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
            text.append(kTemplatePieces[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTemplatePieces) - 1)]);
        return text;
    }
    std::string text = in.ConsumeRandomLengthString(kMaxTextLength);
    if (!lineBreaks) std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

inline core::TPageDescription DecodeDescription(FuzzedDataProvider& in, bool lineBreaks) {
    const auto text = [&in, lineBreaks] { return Text(in, lineBreaks); };
    core::TPageDescription page;
    page.Title = text();
    page.HeadingText = text();
    page.HeadingSizeIndex = in.ConsumeIntegralInRange<std::int32_t>(1, 6);
    page.HeadingColor = text();
    page.HeadingFace = text();
    page.HeadingImage = text();
    page.CornerImageOn = in.ConsumeBool();
    page.CornerImage = text();
    page.CornerHeight = in.ConsumeIntegral<std::int32_t>();
    page.BackgroundIsImage = in.ConsumeBool();
    page.BackgroundImage = text();
    page.BackgroundColor = text();
    page.MarginLeft = in.ConsumeIntegral<std::int32_t>();
    page.MarginTop = in.ConsumeIntegral<std::int32_t>();
    page.UseStyleSheet = in.ConsumeBool();
    page.BoldLinks = in.ConsumeBool();
    page.LinkColor = text();
    page.VisitedColor = text();
    page.HoverColor = text();
    page.ActiveColor = text();
    page.UseDots = in.ConsumeBool();
    page.DotImage = text();
    page.UseLinkBackground = in.ConsumeBool();
    page.LinkBackgroundImage = text();
    page.TextColor = text();
    page.TextFace = text();
    page.BreaksPerImage = in.ConsumeIntegralInRange<std::int32_t>(-5, 20);
    page.FileBaseName = text();
    page.LongExtension = in.ConsumeBool();
    for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxEntries); n > 0; --n)
        page.Links.push_back({text(), text()});
    for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxEntries); n > 0; --n)
        page.TextLines.push_back(text());
    for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxEntries); n > 0; --n)
        page.Images.push_back({text(), text()});
    return page;
}

}  // namespace fuzzing
