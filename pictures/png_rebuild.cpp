#include "pictures/png_rebuild.h"

#include <zlib.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <cstdint>

#include "pictures/kept_metadata.h"
#include "pictures/location_seen.h"
#include "pictures/picture_pixels.h"

namespace pictures {
namespace {

// A profile or a text larger than this is no profile or text to keep.
constexpr std::size_t kMostInflated = 8 << 20;

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::optional<std::string> Inflated(std::string_view packed) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    std::string out;
    char buffer[65536];
    int status = Z_OK;
    while (status == Z_OK && out.size() < kMostInflated) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

// "Raw profile type exif" holds the EXIF block as hex digits after a line
// naming its kind and length.
std::string FromHex(std::string_view text) {
    std::string bytes;
    int high = -1;
    std::size_t lines = 0;
    for (const char c : text) {
        if (c == '\n') ++lines;
        if (lines < 3) continue;
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) continue;
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high << 4 | digit);
            high = -1;
        }
    }
    return bytes;
}

struct TPngMetadata {
    TKept kept;
    bool hadLocation = false;
};

// A text chunk's keyword and its text, decompressed.
void ExamineText(const std::string& type, std::string_view data, TPngMetadata& found) {
    const std::size_t end = data.find('\0');
    if (end == std::string_view::npos) return;
    const std::string_view keyword = data.substr(0, end);
    std::optional<std::string> text = std::string(data.substr(end + 1));
    if (type == "zTXt") text = Inflated(data.substr(std::min(data.size(), end + 2)));
    if (type == "iTXt" && data.size() > end + 2) {
        const bool packed = data[end + 1] != '\0';
        std::string_view rest = data.substr(end + 3);
        for (int skip = 0; skip < 2 && rest.find('\0') != std::string_view::npos; ++skip)
            rest = rest.substr(rest.find('\0') + 1);
        text = packed ? Inflated(rest) : std::optional<std::string>(std::string(rest));
    }
    if (!text) return;
    TKept ignored;
    if (keyword.starts_with("Raw profile type") && ReadExif(FromHex(*text), ignored)) found.hadLocation = true;
    if (MentionsPlace(*text)) found.hadLocation = true;
}

// nullopt for a file whose chunks do not all lie within it, up to IEND:
// cut short, or claiming more than it holds, which a decoder would believe.
std::optional<TPngMetadata> Examine(std::string_view png) {
    TPngMetadata found;
    for (std::size_t at = 8;;) {
        if (at + 12 > png.size()) return std::nullopt;
        const std::size_t length = BigEndian32(png, at);
        if (length > png.size() - at - 12) return std::nullopt;
        if (png.substr(at + 4, 4) == "IEND") return found;
        const std::string type(png.substr(at + 4, 4));
        const std::string_view data = png.substr(at + 8, length);
        if (type == "iCCP" && found.kept.iccProfile.empty()) {
            const std::size_t end = data.find('\0');
            if (end != std::string_view::npos && end + 2 <= data.size())
                found.kept.iccProfile = Inflated(data.substr(end + 2)).value_or(std::string());
        } else if (type == "eXIf") {
            if (ReadExif(data, found.kept)) found.hadLocation = true;
        } else if (type == "tEXt" || type == "zTXt" || type == "iTXt") {
            ExamineText(type, data, found);
        }
        at += 12 + length;
    }
}

std::optional<std::string> EncodePng(const QImage& image, const TKept& kept, bool withOrientation) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(PixelsOnly(image))) return std::nullopt;
    return WithPngMetadata(encoded.toStdString(), ExifBlock(kept, withOrientation, true), kept.iccProfile);
}

}  // namespace

std::optional<TWebPicture> RebuildPng(std::string_view png, int longestSide) {
    const QByteArray bytes = QByteArray::fromRawData(png.data(), static_cast<qsizetype>(png.size()));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoTransform(false);
    // Sixteen bits a channel double what kMostPixels allows for eight.
    QImageReader::setAllocationLimit(static_cast<int>(kMostPixels * 8 >> 20));
    std::optional<TPngMetadata> examined = Examine(png);
    if (!examined) return std::nullopt;
    TPngMetadata& found = *examined;
    const QSize size = reader.size();
    if (!size.isValid() || static_cast<long long>(size.width()) * size.height() > kMostPixels) return std::nullopt;
    for (const auto& [field, key] :
         {std::pair{&found.kept.copyright, "Copyright"}, std::pair{&found.kept.artist, "Author"},
          std::pair{&found.kept.description, "Description"}})
        if (field->empty()) *field = reader.text(QString::fromLatin1(key)).left(4000).toStdString();
    const QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    const TSize original{image.width(), image.height()};
    TWebPicture picture{{}, original.width, original.height, original.width, original.height, false, found.hadLocation};
    if (NeedsScaling(original, longestSide)) {
        const QImage scaled = ScaledUpright(image, FittedSize(original, longestSide), found.kept.orientation);
        if (TookScaled(picture, EncodePng(scaled, found.kept, false), scaled.size(), png.size())) return picture;
    }
    std::optional<std::string> encoded = EncodePng(image, found.kept, true);
    if (!encoded) return std::nullopt;
    picture.bytes = std::move(*encoded);
    return picture;
}

}  // namespace pictures
