#pragma once

// The page a description with every field at its default gives: the one
// page every layer of the program must agree on.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace testpages {

inline const std::vector<std::string_view> kDefaultPageLines = {
    "<html>",
    "<head><title>Neue Seite</title>",
    "</head>",
    "<body background=\"hintergrund.jpg\" topmargin=\"0\" leftmargin=\"0\">",
    "<table cellspacing=\"0\" cellpadding=\"0\">",
    "<tr>",
    "<th height=\"0\">",
    "</th>",
    "<td><b>",
    "<font size=\"5\" color=\"#000000\" face=\"Arial\">Neue Seite</font></b>",
    "<img src=\"bild.jpg\" align=\"middle\">",
    "</td>",
    "</tr>",
    "</table>",
    "</body>",
    "</html>",
};

// The lines as a page file holds them, each followed by CR LF, joined
// without the program's own writer.
template <typename TLines>
std::string PageFileBytes(const TLines& lines) {
    std::string bytes;
    for (const std::string_view line : lines) bytes.append(line).append("\r\n");
    return bytes;
}

// The page file as a user might have changed it by hand: one tag in capitals.
inline std::string EditedByHand(std::string pageFile) {
    pageFile.replace(pageFile.find("</table>"), 8, "</TABLE>");
    return pageFile;
}

// The default page with some of its lines (numbered from 1) replaced by others.
inline std::vector<std::string> DefaultPageWith(const std::map<int, std::vector<std::string>>& replaced) {
    std::vector<std::string> page;
    for (int number = 1; number <= static_cast<int>(kDefaultPageLines.size()); ++number) {
        const auto found = replaced.find(number);
        if (found == replaced.end())
            page.emplace_back(kDefaultPageLines[static_cast<std::size_t>(number - 1)]);
        else
            page.insert(page.end(), found->second.begin(), found->second.end());
    }
    return page;
}

// The default page with these lines between the heading row and "</table>".
inline std::vector<std::string> DefaultPageWithRows(std::vector<std::string> rows) {
    rows.emplace_back("</table>");
    return DefaultPageWith({{14, rows}});
}

}  // namespace testpages
