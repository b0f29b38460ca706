#pragma once

// The pictures of the picture table: each kind of place a picture may keep
// where it was taken, made in the test with ImageMagick and exiftool and
// spliced where no tool writes it; and what a test reads back out of a web
// copy with exiftool and Qt.

#include <QColor>
#include <QSize>
#include <string>
#include <vector>

namespace testsupport {

// The longer side the table's pictures are scaled to.
constexpr int kTableSide = 64;

struct TPictureRow {
    const char* name;  // its file name on the page
    std::string bytes;
    // What goes up: nothing (not sent), else its size as shown (orientation
    // applied) and the colour shown in its top left corner.
    bool sent;
    QSize shown;
    QColor topLeft;
    bool transparent = false;
};

// A JPEG with GPS, written to `path`.
void LocatedPicture(const std::string& path, int width = 32, int height = 24);

// Made in `folder` (a scratch folder): every row of the table.
std::vector<TPictureRow> PictureTable(const std::string& folder);

// What a row expects of what went up of its picture: no tag that tells a
// place, the size and top left colour shown, the transparency, the
// profile's description and the author's fields as the original's.
void ExpectWebCopy(const TPictureRow& row, const std::string& sent, const std::string& folder);

// Every tag exiftool reads from the bytes, one "[Group] Tag : value" a line.
std::string ExifToolTags(const std::string& bytes, const std::string& folder);
// The lines of those that tell a place.
std::vector<std::string> PlaceTags(const std::string& tags);
// A tag's value as exiftool prints it ("-ICC_Profile:ProfileDescription"),
// empty when there is none.
std::string ExifToolValue(const std::string& bytes, const std::string& tag, const std::string& folder);

// The picture as a browser shows it: its size with the orientation applied,
// and the colour of its top left corner.
QSize ShownSize(const std::string& bytes);
QColor ShownTopLeft(const std::string& bytes);
// Colours a lossy encoder left close to what was drawn.
bool Near(const QColor& shown, const QColor& drawn);

}  // namespace testsupport
