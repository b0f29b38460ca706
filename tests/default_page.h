#pragma once

// The page a description with every field at its default gives: the one
// page every layer of the program must agree on.

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

// The default page as its file holds it: every line followed by CR LF.
inline std::string DefaultPageFileBytes() {
    std::string bytes;
    for (const std::string_view line : kDefaultPageLines) bytes.append(line).append("\r\n");
    return bytes;
}

}  // namespace testpages
