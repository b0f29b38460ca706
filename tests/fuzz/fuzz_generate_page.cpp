// Any description gives a page whose number of lines follows from the flags
// and list sizes alone, that holds every text the flags make visible
// verbatim, and that is built without throwing; its references are read
// without throwing too.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/page_generator.h"
#include "core/page_references.h"
#include "fuzzed_description.h"

namespace {

using core::TLineList;
using core::TPageDescription;

void Check(bool condition) {
    if (!condition) std::abort();
}

std::size_t ExpectedLineCount(const TPageDescription& page) {
    const std::size_t links = page.Links.size();
    const std::size_t texts = page.TextLines.size();
    const std::size_t images = page.Images.size();
    const std::size_t breaks = page.BreaksPerImage > 0 ? static_cast<std::size_t>(page.BreaksPerImage) : 0;
    // html, head+title, /head, body, table, tr, th, corner end, td b, font,
    // /td, /tr, /table, /body, /html
    std::size_t count = 15;
    if (!page.HeadingImage.empty()) count += 1;
    if (page.ForPhones) count += 1;
    if (page.UseStyleSheet || page.ForPhones) count += 2;
    if (page.UseStyleSheet) count += 4;
    if (page.ForPhones) count += 1;
    if (links > 0) count += 2 + 3 * (links - 1);
    if (texts > 0) count += 3 + texts;
    if (images > 0) count += 4 + images * (breaks + 1);
    return count;
}

// The texts the flags and lists make part of the page.
std::vector<const std::string*> VisibleTexts(const TPageDescription& page) {
    std::vector<const std::string*> texts = {&page.Title, &page.HeadingText, &page.HeadingColor, &page.HeadingFace,
                                             &page.HeadingImage};
    if (page.CornerImageOn) texts.push_back(&page.CornerImage);
    texts.push_back(page.BackgroundIsImage ? &page.BackgroundImage : &page.BackgroundColor);
    if (page.UseStyleSheet)
        texts.insert(texts.end(), {&page.LinkColor, &page.VisitedColor, &page.HoverColor, &page.ActiveColor});
    for (const core::TLinkEntry& link : page.Links) texts.insert(texts.end(), {&link.Text, &link.Target});
    if (!page.Links.empty() && page.UseDots) texts.push_back(&page.DotImage);
    if (!page.Links.empty() && page.UseLinkBackground) texts.push_back(&page.LinkBackgroundImage);
    if (!page.TextLines.empty()) texts.insert(texts.end(), {&page.TextColor, &page.TextFace});
    // With image descriptions, the wizard's inline pictures are written
    // with an alt text; the fuzzer checks those lines itself.
    for (const std::string& line : page.TextLines)
        if (!page.ImageDescriptions || !core::InlineImageStartedWith(line, core::kImageStart, core::kDecorationStart))
            texts.push_back(&line);
    for (const core::TImageEntry& image : page.Images) texts.insert(texts.end(), {&image.FileName, &image.Caption});
    return texts;
}

bool InSomeLine(const TLineList& lines, const std::string& text) {
    for (const std::string_view line : lines)
        if (line.find(text) != std::string_view::npos) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const TPageDescription page = fuzzing::DecodeDescription(in, true);
    TLineList lines;
    try {
        lines = core::GeneratePage(page);
    } catch (...) {
        Check(false);
    }
    Check(lines.size() == ExpectedLineCount(page));
    std::string joined;
    for (const std::string_view line : lines) joined.append(line).append("\r\n");
    Check(lines.FileBytes() == joined);
    for (const std::string* text : VisibleTexts(page)) Check(InSomeLine(lines, *text));
    if (page.ImageDescriptions) {
        for (const std::string& line : page.TextLines) {
            if (const auto described = core::InlineImageStartedWith(line, core::kImageStart, core::kDecorationStart))
                Check(InSomeLine(lines, *described));
        }
    }
    // Whatever the page holds, reading its references neither throws nor
    // gives an empty name.
    try {
        for (const std::string& file : core::LocalReferences(page)) Check(!file.empty());
    } catch (...) {
        Check(false);
    }
    return 0;
}
