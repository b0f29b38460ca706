#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/line_list.h"
#include "core/page_description.h"

namespace core {

TLineList GeneratePage(const TPageDescription& page);

// The font size the heading line gives a heading size 1 to 6 (others are
// taken as the nearest of them).
std::string_view HeadingFontSize(std::int32_t headingSizeIndex);

// What "Für Handys" adds to the head: the page laid out as wide as the
// phone's screen, and a rule in the style block that keeps pictures from
// making it wider.
inline constexpr std::string_view kPhoneViewport =
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
inline constexpr std::string_view kPhoneImageRule = "img { max-width: 100%; height: auto; }";

// How an <img> tag the generator writes starts, with and without image
// descriptions. The alt attribute comes first: its text holds no quote, so
// it ends at the first one, and the rest of the tag reads as without it.
inline constexpr std::string_view kImageStart = "<img src=\"";
inline constexpr std::string_view kDecorationStart = "<img alt=\"\" src=\"";

// A text as an alt attribute holds it: the page's texts are already
// Windows-1252 with character references, so only a quote, which would end
// the attribute, is written as a reference.
std::string AltText(std::string_view text);

// A text line that is an inline picture in one of the forms the wizard
// inserts, with its tag starting `from`: the same line with the tag starting
// `to`. Any other line, one whose file name holds a quote among them, gives
// nullopt: what the user typed in a tag of their own stays theirs.
std::optional<std::string> InlineImageStartedWith(std::string_view line, std::string_view from, std::string_view to);

}  // namespace core
