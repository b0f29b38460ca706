#pragma once

// A page description made of fuzzer bytes, shared by the fuzz targets.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/page_description.h"
#include "support/description.h"

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
                                                       "<td>",
                                                       "<img alt=\"\" src=\"x\">",
                                                       "<center><img src=\"x\"></center>",
                                                       "\" align=\"left\">",
                                                       "<img alt=\"",
                                                       "\" src=\"",
                                                       "&quot;",
                                                       "img { max-width: 100%; height: auto; }"};

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
    const auto count = [&in] { return in.ConsumeIntegralInRange<std::size_t>(0, kMaxEntries); };
    core::TPageDescription page;
    testsupport::ForEachField(page, [&](std::string_view name, auto& field) {
        using TField = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<TField, std::string>) {
            field = text();
        } else if constexpr (std::is_same_v<TField, bool>) {
            field = in.ConsumeBool();
        } else if constexpr (std::is_same_v<TField, std::int32_t>) {
            // The wizard offers six sizes; many breaks only make big pages.
            if (name == "HeadingSizeIndex")
                field = in.ConsumeIntegralInRange<std::int32_t>(1, 6);
            else if (name == "BreaksPerImage")
                field = in.ConsumeIntegralInRange<std::int32_t>(-5, 20);
            else
                field = in.ConsumeIntegral<std::int32_t>();
        } else if constexpr (std::is_same_v<TField, std::vector<core::TLinkEntry>>) {
            for (std::size_t n = count(); n > 0; --n) field.push_back({text(), text()});
        } else if constexpr (std::is_same_v<TField, std::vector<core::TImageEntry>>) {
            for (std::size_t n = count(); n > 0; --n) field.push_back({text(), text()});
        } else {
            static_assert(std::is_same_v<TField, std::vector<std::string>>);
            for (std::size_t n = count(); n > 0; --n) field.push_back(text());
        }
    });
    return page;
}

}  // namespace fuzzing
