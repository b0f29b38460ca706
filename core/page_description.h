#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every text here holds Windows-1252 bytes exactly as the user typed them.
namespace core {

struct TLinkEntry {
    std::string Text;
    std::string Target;
};

struct TImageEntry {
    std::string FileName;
    std::string Caption;
};

struct TPageDescription {
    std::string Title = "Neue Seite";
    std::string HeadingText = "Neue Seite";
    std::int32_t HeadingSizeIndex = 3;
    std::string HeadingColor = "#000000";
    std::string HeadingFace = "Arial";
    std::string HeadingImage = "bild.jpg";
    bool CornerImageOn = false;
    std::string CornerImage = "eckbild.jpg";
    std::int32_t CornerHeight = 0;
    bool BackgroundIsImage = true;
    std::string BackgroundImage = "hintergrund.jpg";
    std::string BackgroundColor = "#FFFFFF";
    std::int32_t MarginLeft = 0;
    std::int32_t MarginTop = 0;
    bool UseStyleSheet = false;
    bool BoldLinks = true;
    std::string LinkColor = "#000000";
    std::string VisitedColor = "#000000";
    std::string HoverColor = "#000000";
    std::string ActiveColor = "#000000";
    std::vector<TLinkEntry> Links;
    bool UseDots = false;
    std::string DotImage = "dot.jpg";
    bool UseLinkBackground = false;
    std::string LinkBackgroundImage = "lbg.jpg";
    std::vector<std::string> TextLines;
    std::string TextColor = "#000000";
    std::string TextFace = "Arial";
    std::vector<TImageEntry> Images;
    std::int32_t BreaksPerImage = 1;
    std::string FileBaseName = "index";
    bool LongExtension = true;
    // Off, the page is written as it always was; on, it is laid out for
    // the width of a phone's screen and its pictures never grow wider.
    bool ForPhones = false;
    // On, every picture carries an alt text: its caption or typed text
    // where the user gave one, empty (decoration) where not.
    bool ImageDescriptions = false;
};

// Reads a spin field's text: leading spaces, then a signed decimal or an
// unsigned hexadecimal ("$", "x", "0x") taken as a 32-bit pattern. Anything
// else, and decimals outside int32, read 0.
std::int32_t ReadSpinValue(std::string_view text);

}  // namespace core
