#pragma once

// Every field of a page description, listed once for the tests and the fuzz
// targets: building a description field by field and comparing two.

#include <string>
#include <string_view>
#include <type_traits>

#include "core/page_description.h"

namespace testsupport {

// Calls visit(name, field) for every field, in the order of the struct.
// The structured binding names every member: a field added to the
// description stops this compiling until it is listed here too.
template <typename TPage, typename TVisit>
requires std::is_same_v<std::remove_const_t<TPage>, core::TPageDescription>
void ForEachField(TPage& page, TVisit&& visit) {
    auto& [title, headingText, headingSizeIndex, headingColor, headingFace, headingImage, cornerImageOn, cornerImage,
           cornerHeight, backgroundIsImage, backgroundImage, backgroundColor, marginLeft, marginTop, useStyleSheet,
           boldLinks, linkColor, visitedColor, hoverColor, activeColor, links, useDots, dotImage, useLinkBackground,
           linkBackgroundImage, textLines, textColor, textFace, images, breaksPerImage, fileBaseName, longExtension,
           forPhones, imageDescriptions] = page;
    visit("Title", title);
    visit("HeadingText", headingText);
    visit("HeadingSizeIndex", headingSizeIndex);
    visit("HeadingColor", headingColor);
    visit("HeadingFace", headingFace);
    visit("HeadingImage", headingImage);
    visit("CornerImageOn", cornerImageOn);
    visit("CornerImage", cornerImage);
    visit("CornerHeight", cornerHeight);
    visit("BackgroundIsImage", backgroundIsImage);
    visit("BackgroundImage", backgroundImage);
    visit("BackgroundColor", backgroundColor);
    visit("MarginLeft", marginLeft);
    visit("MarginTop", marginTop);
    visit("UseStyleSheet", useStyleSheet);
    visit("BoldLinks", boldLinks);
    visit("LinkColor", linkColor);
    visit("VisitedColor", visitedColor);
    visit("HoverColor", hoverColor);
    visit("ActiveColor", activeColor);
    visit("Links", links);
    visit("UseDots", useDots);
    visit("DotImage", dotImage);
    visit("UseLinkBackground", useLinkBackground);
    visit("LinkBackgroundImage", linkBackgroundImage);
    visit("TextLines", textLines);
    visit("TextColor", textColor);
    visit("TextFace", textFace);
    visit("Images", images);
    visit("BreaksPerImage", breaksPerImage);
    visit("FileBaseName", fileBaseName);
    visit("LongExtension", longExtension);
    visit("ForPhones", forPhones);
    visit("ImageDescriptions", imageDescriptions);
}

// Every field on a line of its own, each list entry too, so that a failed
// EXPECT_EQ of two of these shows which field differs.
inline std::string FieldLines(const core::TPageDescription& page) {
    std::string out;
    const auto line = [&out](std::string_view name, std::string_view value) {
        out.append(name).append("=").append(value).append("\n");
    };
    ForEachField(page, [&](std::string_view name, const auto& field) {
        using TField = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<TField, std::string>) {
            line(name, field);
        } else if constexpr (std::is_same_v<TField, bool>) {
            line(name, field ? "true" : "false");
        } else if constexpr (std::is_integral_v<TField>) {
            line(name, std::to_string(field));
        } else {
            for (const auto& entry : field) {
                if constexpr (std::is_same_v<std::decay_t<decltype(entry)>, core::TLinkEntry>)
                    line(name, entry.Text + " -> " + entry.Target);
                else if constexpr (std::is_same_v<std::decay_t<decltype(entry)>, core::TImageEntry>)
                    line(name, entry.FileName + " / " + entry.Caption);
                else
                    line(name, entry);
            }
        }
    });
    return out;
}

}  // namespace testsupport
