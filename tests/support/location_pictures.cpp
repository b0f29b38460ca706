#include "support/location_pictures.h"

#include <algorithm>
#include <cstdint>
#include <exiv2/exiv2.hpp>
#include <utility>

namespace testsupport {
namespace {

// Made once with libjpeg and libpng from a colour gradient.
const char kJpeg[] =
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43"
    "\x00\x03\x02\x02\x03\x02\x02\x03\x03\x03\x03\x04\x03\x03\x04\x05\x08\x05\x05\x04\x04\x05\x0a\x07"
    "\x07\x06\x08\x0c\x0a\x0c\x0c\x0b\x0a\x0b\x0b\x0d\x0e\x12\x10\x0d\x0e\x11\x0e\x0b\x0b\x10\x16\x10"
    "\x11\x13\x14\x15\x15\x15\x0c\x0f\x17\x18\x16\x14\x18\x12\x14\x15\x14\xff\xdb\x00\x43\x01\x03\x04"
    "\x04\x05\x04\x05\x09\x05\x05\x09\x14\x0d\x0b\x0d\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\xff\xc0\x00\x11\x08\x00\x0c\x00\x10\x03"
    "\x01\x22\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x07\x08\xff\xc4\x00\x1b\x10\x00\x02\x01\x05\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x06\x23\x05\x07\x24\x33\xa1\xff\xc4\x00\x15\x01\x01\x01\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x05\xff\xc4\x00\x1b\x11\x00\x02\x01\x05\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x07\x02\x05\x21\x22\x31\xff\xda\x00\x0c\x03\x01\x00"
    "\x02\x11\x03\x11\x00\x3f\x00\x95\x52\xec\x66\xbc\x7e\x0f\x29\x76\x33\x5e\x3f\x06\xb4\xb5\x1a\x64"
    "\x70\x0f\x29\x6a\x34\xc8\xe0\x25\x27\x73\xaf\x00\x23\xc9\x01\xbd\x3a\x7f\xff\xd9";
const char kPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x10\x00\x00\x00\x0c"
    "\x08\x02\x00\x00\x00\xe4\x85\xaa\xd6\x00\x00\x00\x1d\x49\x44\x41\x54\x28\x91\x63\x64\x60\x60\x10"
    "\x60\xe0\x20\x1e\xb1\x30\x88\x70\x30\x30\x90\x80\x46\x35\x8c\x14\x0d\x00\x0e\x2e\x07\xf2\xc2\xef"
    "\xe3\x32\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

std::string Plain(TPicture kind) {
    return kind == TPicture::Jpeg ? std::string(kJpeg, sizeof kJpeg - 1) : std::string(kPng, sizeof kPng - 1);
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string BigEndianBytes(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    std::uint32_t crc = 0xffffffff;
    for (const unsigned char byte : type + data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? 0xedb88320 ^ (crc >> 1) : crc >> 1;
    }
    return BigEndianBytes(static_cast<std::uint32_t>(data.size())) + type + data + BigEndianBytes(~crc);
}

// The PNG's chunks from its signature on: type and data.
std::vector<std::pair<std::string, std::string>> PngChunks(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> chunks;
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::size_t length = BigEndian(bytes, at);
        chunks.emplace_back(bytes.substr(at + 4, 4), bytes.substr(at + 8, length));
        at += 12 + length;
    }
    return chunks;
}

void AddLocation(Exiv2::ExifData& exif) {
    exif["Exif.GPSInfo.GPSVersionID"] = "2 3 0 0";
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    exif["Exif.GPSInfo.GPSLatitude"] = "52/1 31/1 1234/100";
    exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
    exif["Exif.GPSInfo.GPSLongitude"] = "13/1 24/1 567/100";
}

// The camera and the place in an "eXIf" chunk right after the header.
std::string WithExifChunk(bool location) {
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "Tavi";
    if (location) AddLocation(exif);
    Exiv2::Blob encoded;
    Exiv2::ExifParser::encode(encoded, Exiv2::bigEndian, exif);
    const std::string plain = Plain(TPicture::Png);
    const std::size_t afterHeader = 8 + 12 + 13;
    return plain.substr(0, afterHeader) + PngChunk("eXIf", std::string(encoded.begin(), encoded.end())) +
           plain.substr(afterHeader);
}

std::string WithMetadata(TPicture kind, bool location) {
    if (kind == TPicture::PngExifChunk) return WithExifChunk(location);
    const std::string plain = Plain(kind);
    auto image =
        Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(plain.data()), static_cast<long>(plain.size()));
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    Exiv2::XmpData& xmp = image->xmpData();
    Exiv2::IptcData& iptc = image->iptcData();
    exif["Exif.Image.Make"] = "Tavi";
    exif["Exif.Photo.DateTimeOriginal"] = "2026:05:01 10:00:00";
    xmp["Xmp.dc.creator"] = "Tavi";
    iptc["Iptc.Application2.Caption"] = "Garten";
    if (location) {
        AddLocation(exif);
        xmp["Xmp.exif.GPSLatitude"] = "52,31.2056N";
        xmp["Xmp.exif.GPSLongitude"] = "13,24.0945E";
        xmp["Xmp.photoshop.City"] = "Berlin";
        xmp["Xmp.photoshop.Country"] = "Deutschland";
        Exiv2::XmpTextValue places;
        places.setXmpArrayType(Exiv2::XmpValue::xaBag);
        xmp.add(Exiv2::XmpKey("Xmp.iptcExt.LocationShown"), &places);
        xmp["Xmp.iptcExt.LocationShown[1]/iptcExt:City"] = "Berlin";
        iptc["Iptc.Application2.City"] = "Berlin";
        iptc["Iptc.Application2.CountryName"] = "Deutschland";
    }
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.open();
    const Exiv2::DataBuf content = io.read(static_cast<long>(io.size()));
    io.close();
    return std::string(reinterpret_cast<const char*>(content.pData_), static_cast<std::size_t>(content.size_));
}

template <class TData>
void Add(const TData& data, std::vector<std::string>& fields) {
    for (const auto& datum : data) {
        // Where the EXIF folder lies moves when the GPS folder before it goes.
        const bool pointer = datum.key() == "Exif.Image.ExifTag";
        fields.push_back(datum.key() + (pointer ? std::string() : "=" + datum.toString()));
    }
}

}  // namespace

std::string PictureWithoutLocation(TPicture kind) {
    return WithMetadata(kind, false);
}

std::string PictureWithLocation(TPicture kind) {
    return WithMetadata(kind, true);
}

std::vector<std::string> MetadataFields(const std::string& bytes) {
    auto image =
        Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()), static_cast<long>(bytes.size()));
    image->readMetadata();
    std::vector<std::string> fields;
    Add(image->exifData(), fields);
    Add(image->iptcData(), fields);
    Add(image->xmpData(), fields);
    std::sort(fields.begin(), fields.end());
    return fields;
}

std::vector<std::string> LocationFields(const std::string& bytes) {
    std::vector<std::string> fields;
    for (const std::string& field : MetadataFields(bytes)) {
        const std::string key = field.substr(0, field.find('='));
        for (const char* word : {"GPS", "City", "Country", "Location", "State", "Province"})
            if (key.find(word) != std::string::npos) {
                fields.push_back(field);
                break;
            }
    }
    return fields;
}

std::string PixelData(const std::string& bytes) {
    std::string pixels;
    if (bytes.rfind("\xff\xd8", 0) == 0) {
        for (std::size_t at = 2; at + 4 <= bytes.size();) {
            const unsigned char marker = static_cast<unsigned char>(bytes[at + 1]);
            // The scan runs to the end.
            if (marker == 0xda) return pixels + bytes.substr(at);
            const std::size_t length = static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 2]) << 8 |
                                                                static_cast<unsigned char>(bytes[at + 3]));
            if (!((marker >= 0xe0 && marker <= 0xef) || marker == 0xfe)) pixels += bytes.substr(at, 2 + length);
            at += 2 + length;
        }
        return {};
    }
    if (bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0)
        for (const auto& [type, data] : PngChunks(bytes))
            if (type != "tEXt" && type != "zTXt" && type != "iTXt" && type != "eXIf" && type != "tIME")
                pixels += PngChunk(type, data);
    return pixels;
}

}  // namespace testsupport
