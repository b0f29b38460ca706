// The page reader's two promises: whatever it reads, from any bytes, writes
// exactly those bytes again; and every page the generator writes is read
// back. The input is taken both as a page file and as a description.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/page_generator.h"
#include "core/page_reader.h"

namespace {

using core::TPageDescription;

void Check(bool condition) {
    if (!condition) std::abort();
}

constexpr std::size_t kMaxEntries = 199;
constexpr std::size_t kMaxTextLength = 48;

// Texts hold any byte but CR and LF.
std::string Text(FuzzedDataProvider& in) {
    std::string text = in.ConsumeRandomLengthString(kMaxTextLength);
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

TPageDescription Decode(FuzzedDataProvider& in) {
    TPageDescription page;
    page.Title = Text(in);
    page.HeadingText = Text(in);
    page.HeadingSizeIndex = in.ConsumeIntegralInRange<std::int32_t>(1, 6);
    page.HeadingColor = Text(in);
    page.HeadingFace = Text(in);
    page.HeadingImage = Text(in);
    page.CornerImageOn = in.ConsumeBool();
    page.CornerImage = Text(in);
    page.CornerHeight = in.ConsumeIntegral<std::int32_t>();
    page.BackgroundIsImage = in.ConsumeBool();
    page.BackgroundImage = Text(in);
    page.BackgroundColor = Text(in);
    page.MarginLeft = in.ConsumeIntegral<std::int32_t>();
    page.MarginTop = in.ConsumeIntegral<std::int32_t>();
    page.UseStyleSheet = in.ConsumeBool();
    page.BoldLinks = in.ConsumeBool();
    page.LinkColor = Text(in);
    page.VisitedColor = Text(in);
    page.HoverColor = Text(in);
    page.ActiveColor = Text(in);
    page.UseDots = in.ConsumeBool();
    page.DotImage = Text(in);
    page.UseLinkBackground = in.ConsumeBool();
    page.LinkBackgroundImage = Text(in);
    page.TextColor = Text(in);
    page.TextFace = Text(in);
    page.BreaksPerImage = in.ConsumeIntegralInRange<std::int32_t>(-5, 20);
    for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxEntries); n > 0; --n)
        page.Links.push_back({Text(in), Text(in)});
    for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxEntries); n > 0; --n)
        page.TextLines.push_back(Text(in));
    for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, kMaxEntries); n > 0; --n)
        page.Images.push_back({Text(in), Text(in)});
    return page;
}

// Whatever is read writes exactly the bytes it was read from.
void CheckSound(std::string_view bytes) {
    const std::optional<TPageDescription> read = core::ReadPage(bytes);
    if (read) Check(core::GeneratePage(*read).FileBytes() == bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckSound(std::string_view(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider in(data, size);
    const TPageDescription page = Decode(in);
    const std::string bytes(core::GeneratePage(page).FileBytes());
    const std::optional<TPageDescription> read = core::ReadPage(bytes);
    Check(read.has_value());
    Check(core::GeneratePage(*read).FileBytes() == bytes);

    // A written page with one byte changed, as an editor might leave it.
    if (!bytes.empty() && in.remaining_bytes() > 0) {
        std::string edited = bytes;
        const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, edited.size() - 1);
        if (in.ConsumeBool())
            edited.erase(at, 1);
        else
            edited[at] = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
        CheckSound(edited);
    }
    return 0;
}
