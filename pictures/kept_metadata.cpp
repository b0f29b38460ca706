#include "pictures/kept_metadata.h"

#include <libexif/exif-data.h>
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace pictures {
namespace {

const std::string_view kExifStart{"Exif\0\0", 6};
// An author's field longer than this is cut: the whole block must fit one
// JPEG segment.
constexpr std::size_t kMostFieldBytes = 4000;

struct TFreeExif {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

std::string AsciiOf(ExifData* data, ExifTag tag) {
    const ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], tag);
    if (entry == nullptr || entry->format != EXIF_FORMAT_ASCII || entry->data == nullptr) return {};
    std::string text(reinterpret_cast<const char*>(entry->data), entry->size);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text.substr(0, kMostFieldBytes);
}

void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xff);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value >> 16);
    Put16(out, value & 0xffff);
}

std::string Segment(unsigned char marker, const std::string& payload) {
    std::string segment{'\xff', static_cast<char>(marker)};
    Put16(segment, static_cast<unsigned>(payload.size() + 2));
    return segment + payload;
}

std::string PngChunk(const std::string& type, const std::string& data) {
    std::string chunk;
    Put32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk += type + data;
    const std::string crcOver = type + data;
    Put32(chunk, static_cast<std::uint32_t>(
                     crc32(0, reinterpret_cast<const Bytef*>(crcOver.data()), static_cast<uInt>(crcOver.size()))));
    return chunk;
}

}  // namespace

bool ReadExif(std::string_view exif, TKept& kept) {
    std::string block(exif.substr(0, kExifStart.size()) == kExifStart ? std::string() : std::string(kExifStart));
    block += exif;
    const std::unique_ptr<ExifData, TFreeExif> data(exif_data_new());
    if (!data) return false;
    // As written: the library must neither add fields nor drop unknown ones
    // to what is only read here.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(data.get(), reinterpret_cast<const unsigned char*>(block.data()),
                        static_cast<unsigned>(block.size()));
    const ExifEntry* orientation = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (kept.orientation == 1 && orientation != nullptr && orientation->format == EXIF_FORMAT_SHORT &&
        orientation->size >= 2) {
        const int value = exif_get_short(orientation->data, exif_data_get_byte_order(data.get()));
        if (value >= 1 && value <= 8) kept.orientation = value;
    }
    for (const auto& [field, tag] :
         {std::pair{&kept.copyright, EXIF_TAG_COPYRIGHT}, std::pair{&kept.artist, EXIF_TAG_ARTIST},
          std::pair{&kept.description, EXIF_TAG_IMAGE_DESCRIPTION}})
        if (field->empty()) *field = AsciiOf(data.get(), tag);
    return data->ifd[EXIF_IFD_GPS] != nullptr && data->ifd[EXIF_IFD_GPS]->count > 0;
}

std::string ExifBlock(const TKept& kept, bool withOrientation, bool tiffOnly) {
    struct TField {
        unsigned tag;
        const std::string* text;  // nullptr: the orientation
    };
    std::vector<TField> fields;
    // In the order of their tags, as EXIF wants them.
    if (!kept.description.empty()) fields.push_back({0x010e, &kept.description});
    if (withOrientation && kept.orientation != 1) fields.push_back({0x0112, nullptr});
    if (!kept.artist.empty()) fields.push_back({0x013b, &kept.artist});
    if (!kept.copyright.empty()) fields.push_back({0x8298, &kept.copyright});
    if (fields.empty()) return {};
    // Big-endian TIFF: its header, one folder, then the texts it points to.
    std::string tiff = "MM";
    Put16(tiff, 42);
    Put32(tiff, 8);
    Put16(tiff, static_cast<unsigned>(fields.size()));
    std::uint32_t textAt = static_cast<std::uint32_t>(8 + 2 + fields.size() * 12 + 4);
    std::string texts;
    for (const TField& field : fields) {
        Put16(tiff, field.tag);
        if (field.text == nullptr) {
            Put16(tiff, 3);  // SHORT
            Put32(tiff, 1);
            Put16(tiff, static_cast<unsigned>(kept.orientation));
            Put16(tiff, 0);
            continue;
        }
        const std::string value = field.text->substr(0, kMostFieldBytes) + '\0';
        Put16(tiff, 2);  // ASCII
        Put32(tiff, static_cast<std::uint32_t>(value.size()));
        if (value.size() <= 4) {
            tiff += value + std::string(4 - value.size(), '\0');
            continue;
        }
        Put32(tiff, textAt + static_cast<std::uint32_t>(texts.size()));
        texts += value;
        if (texts.size() % 2 != 0) texts += '\0';
    }
    Put32(tiff, 0);  // no further folder
    return (tiffOnly ? std::string() : std::string(kExifStart)) + tiff + texts;
}

std::string WithJpegMetadata(const std::string& jpeg, const std::string& exif, const std::string& iccProfile) {
    // After the start and the encoder's JFIF segment, which readers expect first.
    std::size_t at = 2;
    if (jpeg.size() >= 6 && static_cast<unsigned char>(jpeg[2]) == 0xff && static_cast<unsigned char>(jpeg[3]) == 0xe0)
        at = 4 + (static_cast<unsigned char>(jpeg[4]) << 8 | static_cast<unsigned char>(jpeg[5]));
    std::string segments;
    if (!exif.empty()) segments += Segment(0xe1, exif);
    // A profile over several segments, each numbered and counting them all.
    constexpr std::size_t kPerSegment = 65519;
    const std::size_t count = (iccProfile.size() + kPerSegment - 1) / kPerSegment;
    for (std::size_t i = 0; i < count && count <= 255; ++i)
        segments += Segment(0xe2, std::string("ICC_PROFILE\0", 12) + static_cast<char>(i + 1) +
                                      static_cast<char>(count) + iccProfile.substr(i * kPerSegment, kPerSegment));
    return jpeg.substr(0, at) + segments + jpeg.substr(at);
}

std::string WithPngMetadata(const std::string& png, const std::string& exif, const std::string& iccProfile) {
    // Right after the header chunk: before the palette and the pixels, as
    // both chunks must be.
    constexpr std::size_t kAfterHeader = 8 + 4 + 4 + 13 + 4;
    std::string chunks;
    if (!iccProfile.empty()) {
        uLongf size = compressBound(static_cast<uLong>(iccProfile.size()));
        std::string packed(size, '\0');
        if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(iccProfile.data()),
                      static_cast<uLong>(iccProfile.size()), Z_BEST_COMPRESSION) == Z_OK) {
            packed.resize(size);
            chunks += PngChunk("iCCP", std::string("ICC\0\0", 5) + packed);
        }
    }
    if (!exif.empty()) chunks += PngChunk("eXIf", exif);
    return png.substr(0, kAfterHeader) + chunks + png.substr(kAfterHeader);
}

}  // namespace pictures
