#include "bench/sample_page.h"

#include <cstdio>

namespace bench {

std::string SampleText(const char* prefix, std::size_t index) {
    char text[48];
    std::snprintf(text, sizeof text, "%-10.10s Nr. %09zu", prefix, index % 1000000000);
    return text;
}

core::TPageDescription SamplePage(std::size_t entries) {
    core::TPageDescription page;
    page.Links.reserve(entries);
    page.TextLines.reserve(entries);
    page.Images.reserve(entries);
    // List by list, as the finish command reads them from the wizard, so
    // that each list's texts lie together in memory.
    for (std::size_t i = 0; i < entries; ++i)
        page.Links.push_back({SampleText("Verweis", i), SampleText("seite.html", i)});
    for (std::size_t i = 0; i < entries; ++i) page.TextLines.push_back(SampleText("Textzeile", i));
    for (std::size_t i = 0; i < entries; ++i)
        page.Images.push_back({SampleText("bild.jpg", i), SampleText("Bildtext", i)});
    return page;
}

}  // namespace bench
