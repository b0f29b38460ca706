#include "support/web_pictures.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QColorSpace>
#include <QCryptographicHash>
#include <QImageReader>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/files.h"

namespace testsupport {
namespace {

// Four colours, one a quarter, so that a turn or a mirror shows.
const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 255, 0), kWhite(255, 255, 255);

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    pclose(pipe);
    return out;
}

void Run(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// 96 × 64 pixels in four quarters: red, blue above; green, white below.
std::string Quarters(const std::string& folder, const std::string& file, const std::string& options = "") {
    const std::string path = folder + "/" + file;
    Run("convert -size 48x32 xc:red xc:blue +append \\( -size 48x32 xc:lime xc:white +append \\) -append " + options +
        " " + Quoted(path));
    return path;
}

void ExifTool(const std::string& path, const std::string& tags) {
    Run("exiftool -q -q -overwrite_original " + tags + " " + Quoted(path));
}

const std::string kGps = "-GPSLatitude=52.52 -GPSLatitudeRef=N -GPSLongitude=13.40 -GPSLongitudeRef=E";

std::string Segment(unsigned char marker, const std::string& payload) {
    const std::size_t length = payload.size() + 2;
    return std::string{'\xff', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xff)} +
           payload;
}

// The JPEG with segments put in right after its start.
std::string WithSegments(const std::string& jpeg, const std::string& segments) {
    return jpeg.substr(0, 2) + segments + jpeg.substr(2);
}

std::string Xmp(const std::string& namespaces, const std::string& fields) {
    return "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
           "<rdf:Description " +
           namespaces + " " + fields + "/></rdf:RDF></x:xmpmeta>";
}

// A first XMP packet with the place in photoshop's fields, a second one in a
// drone maker's namespace, and an extended part with GPS, named by its MD5
// as readers want it.
std::string XmpSegments() {
    const std::string standard = std::string("http://ns.adobe.com/xap/1.0/") + '\0';
    const std::string extended = Xmp("xmlns:exif='http://ns.adobe.com/exif/1.0/'", "exif:GPSLatitude='52,31.2N'");
    const std::string guid = QCryptographicHash::hash(QByteArray::fromStdString(extended), QCryptographicHash::Md5)
                                 .toHex()
                                 .toUpper()
                                 .toStdString();
    const std::string first =
        Xmp("xmlns:photoshop='http://ns.adobe.com/photoshop/1.0/' xmlns:xmpNote='http://ns.adobe.com/xmp/note/'",
            "photoshop:City='Berlin' photoshop:Country='Deutschland' xmpNote:HasExtendedXMP='" + guid + "'");
    const std::string second =
        Xmp("xmlns:drone-dji='http://www.dji.com/drone-dji/1.0/'", "drone-dji:GpsLatitude='52.52'");
    const std::size_t length = extended.size();
    const std::string lengthBytes{static_cast<char>(length >> 24), static_cast<char>(length >> 16),
                                  static_cast<char>(length >> 8), static_cast<char>(length)};
    return Segment(0xe1, standard + first) + Segment(0xe1, standard + second) +
           Segment(0xe1, std::string("http://ns.adobe.com/xmp/extension/") + '\0' + guid + lengthBytes +
                             std::string(4, '\0') + extended);
}

// The first APP1 segment of a JPEG, whole.
std::string FirstExifSegment(const std::string& jpeg) {
    for (std::size_t at = 2; at + 4 <= jpeg.size();) {
        const std::size_t length = static_cast<std::size_t>(static_cast<unsigned char>(jpeg[at + 2]) << 8 |
                                                            static_cast<unsigned char>(jpeg[at + 3]));
        if (static_cast<unsigned char>(jpeg[at + 1]) == 0xe1) return jpeg.substr(at, 2 + length);
        at += 2 + length;
    }
    return {};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    const auto bigEndian = [](std::uint32_t value) {
        return std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    };
    const std::string over = type + data;
    return bigEndian(static_cast<std::uint32_t>(data.size())) + over +
           bigEndian(static_cast<std::uint32_t>(
               crc32(0, reinterpret_cast<const Bytef*>(over.data()), static_cast<uInt>(over.size()))));
}

// 50,000 × 50,000 pixels of one bit, all zero: 300 MB unpacked, 300 KB here.
std::string PngBomb() {
    constexpr std::uint32_t kSide = 50000;
    std::string header;
    for (const std::uint32_t value : {kSide, kSide})
        header += std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                              static_cast<char>(value >> 8), static_cast<char>(value)};
    header += std::string{1, 0, 0, 0, 0};  // one bit grey, no interlace
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    const std::string row(1 + kSide / 8, '\0');
    std::string packed;
    char buffer[1 << 16];
    for (std::uint32_t y = 0; y <= kSide; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        stream.avail_in = y < kSide ? static_cast<uInt>(row.size()) : 0;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, y < kSide ? Z_NO_FLUSH : Z_FINISH);
            packed.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return "\x89PNG\r\n\x1a\n" + PngChunk("IHDR", header) + PngChunk("IDAT", packed) + PngChunk("IEND", "");
}

// A JPEG whose frame claims 65,535 × 65,535 pixels.
std::string JpegBomb(std::string jpeg) {
    for (std::size_t at = 2; at + 9 <= jpeg.size();) {
        const unsigned char marker = static_cast<unsigned char>(jpeg[at + 1]);
        if (marker == 0xc0 || marker == 0xc2) {
            jpeg.replace(at + 5, 4, "\xff\xff\xff\xff");
            return jpeg;
        }
        at += 2 + (static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]));
    }
    return jpeg;
}

std::string ProfileFile(const std::string& folder) {
    QColorSpace space(QColorSpace::DisplayP3);
    space.setDescription(QStringLiteral("Tavirel P3"));
    const std::string path = folder + "/p3.icc";
    WriteFileBytes(path, space.iccProfile().toStdString());
    return path;
}

}  // namespace

void LocatedPicture(const std::string& path, int width, int height) {
    Run("convert -size " + std::to_string(width) + "x" + std::to_string(height) + " gradient:red-blue " + Quoted(path));
    ExifTool(path, kGps);
}

std::vector<TPictureRow> PictureTable(const std::string& folder) {
    const QSize wide(kTableSide, 43), tall(43, kTableSide), own(96, 64);
    std::vector<TPictureRow> rows;
    const auto add = [&](const char* name, const std::string& path, bool sent, QSize shown, QColor topLeft) {
        rows.push_back({name, ReadFileBytes(path), sent, shown, topLeft});
    };
    const std::string exif = Quarters(folder, "exif.jpg");
    ExifTool(exif, kGps + " -Copyright=Tavi -Artist=Ich");
    add("exif.jpg", exif, true, wide, kRed);
    const std::string twice = ReadFileBytes(exif);
    rows.push_back({"zweimal-exif.jpg", WithSegments(twice, FirstExifSegment(twice)), true, wide, kRed});
    const std::string plain = ReadFileBytes(Quarters(folder, "plain.jpg"));
    rows.push_back({"xmp.jpg", WithSegments(plain, XmpSegments()), true, wide, kRed});
    const std::string turned = Quarters(folder, "gedreht.jpg");
    ExifTool(turned, kGps + " -Orientation#=6");
    add("gedreht.jpg", turned, true, tall, kGreen);
    const std::string small = Quarters(folder, "gedreht-klein.jpg", "-resize 48x32");
    ExifTool(small, kGps + " -Orientation#=6");
    add("gedreht-klein.jpg", small, true, QSize(32, 48), kGreen);
    const std::string profile = Quarters(folder, "profil.jpg");
    ExifTool(profile, kGps + " '-ICC_Profile<=" + ProfileFile(folder) + "'");
    add("profil.jpg", profile, true, wide, kRed);
    // ImageMagick keeps a JPEG's EXIF in a PNG as hex in a text chunk.
    const std::string texts = folder + "/text.png";
    Run("convert " + Quoted(exif) + " " + Quoted(texts));
    ExifTool(texts, "-XMP-photoshop:City=Berlin");
    add("text.png", texts, true, wide, kRed);
    const std::string chunk = Quarters(folder, "exif.png", "-alpha set -channel A -evaluate set 50% +channel");
    ExifTool(chunk, kGps + " -Copyright=Tavi");
    rows.push_back({"exif.png", ReadFileBytes(chunk), true, wide, kRed, true});
    const std::string webp = Quarters(folder, "exif.webp");
    ExifTool(webp, kGps + " -XMP-photoshop:City=Berlin -Copyright=Tavi");
    add("exif.webp", webp, true, wide, kRed);
    const std::string animated = folder + "/bewegt.gif";
    Run("convert -delay 20 " + Quoted(exif) + " " + Quoted(exif) + " -loop 0 -set comment 'GPS 52.52 13.40' " +
        Quoted(animated));
    add("bewegt.gif", animated, true, own, kRed);
    rows.push_back({"kaputt.jpg", plain.substr(0, plain.size() * 2 / 3), false, {}, {}});
    rows.push_back({"bombe.png", PngBomb(), false, {}, {}});
    rows.push_back({"bombe.jpg", JpegBomb(plain), false, {}, {}});
    const std::string tiff = folder + "/bild.tif";
    Run("convert " + Quoted(exif) + " " + Quoted(tiff));
    add("bild.tif", tiff, false, {}, {});
    return rows;
}

std::string ExifToolTags(const std::string& bytes, const std::string& folder) {
    const std::string path = folder + "/gelesen";
    WriteFileBytes(path, bytes);
    return Output("exiftool -a -u -G1 -s " + Quoted(path));
}

std::vector<std::string> PlaceTags(const std::string& tags) {
    std::vector<std::string> found;
    std::istringstream lines(tags);
    for (std::string line; std::getline(lines, line);) {
        std::string lower = line;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // The file's own folder is named on a line of its own.
        if (lower.find("[system]") != std::string::npos) continue;
        for (const char* word : {"gps", "latitude", "longitude", "city", "country", "location", "berlin"})
            if (lower.find(word) != std::string::npos) {
                found.push_back(line);
                break;
            }
    }
    return found;
}

std::string ExifToolValue(const std::string& bytes, const std::string& tag, const std::string& folder) {
    const std::string path = folder + "/gelesen";
    WriteFileBytes(path, bytes);
    std::string value = Output("exiftool -s3 " + tag + " " + Quoted(path));
    while (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

namespace {

QImage Shown(const std::string& bytes) {
    QByteArray data = QByteArray::fromStdString(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return reader.read();
}

}  // namespace

QSize ShownSize(const std::string& bytes) {
    return Shown(bytes).size();
}

QColor ShownTopLeft(const std::string& bytes) {
    const QImage image = Shown(bytes);
    return image.isNull() ? QColor() : image.pixelColor(1, 1);
}

void ExpectWebCopy(const TPictureRow& row, const std::string& sent, const std::string& folder) {
    EXPECT_EQ(PlaceTags(ExifToolTags(sent, folder)), std::vector<std::string>{});
    EXPECT_EQ(ShownSize(sent), row.shown);
    const QColor corner = ShownTopLeft(sent);
    EXPECT_TRUE(Near(corner, row.topLeft)) << corner.name().toStdString();
    EXPECT_EQ(corner.alpha() < 255, row.transparent);
    for (const char* kept : {"-ProfileDescription", "-Copyright", "-Artist"}) {
        EXPECT_EQ(ExifToolValue(sent, kept, folder), ExifToolValue(row.bytes, kept, folder)) << kept;
    }
}

bool Near(const QColor& shown, const QColor& drawn) {
    return std::abs(shown.red() - drawn.red()) < 48 && std::abs(shown.green() - drawn.green()) < 48 &&
           std::abs(shown.blue() - drawn.blue()) < 48;
}

}  // namespace testsupport
