#include "transfer/picture_location.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>
#include <mutex>
#include <string_view>

#include "core/folder_names.h"
#include "core/system_calls.h"
#include "transfer/file_digest.h"

namespace transfer {
namespace {

// The XMP toolkit keeps state of its own, and the count before a publish
// and the publish itself run on different threads.
std::mutex xmpToolkit;

void LockXmpToolkit(void* mutex, bool lock) {
    if (lock)
        static_cast<std::mutex*>(mutex)->lock();
    else
        static_cast<std::mutex*>(mutex)->unlock();
}

void PrepareLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::XmpParser::initialize(LockXmpToolkit, &xmpToolkit);
        // Its warnings about odd pictures would only reach a terminal; what
        // matters reaches the user through the publish's result.
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    });
}

std::string ReadFrom(int file, const std::string& name, std::size_t most) {
    std::optional<std::string> bytes = ReadOpenFile(file, most);
    if (!bytes) throw TTransferError(TFault::FileNotReadWhole, name);
    return std::move(*bytes);
}

// The kinds the library writes, of those a page may show or link to; only
// their first bytes are read to tell, so that a page's other files cost
// nothing.
bool IsWritablePicture(int file, const std::string& name) {
    const std::string start = ReadFrom(file, name, 64);
    int type = Exiv2::ImageType::none;
    try {
        type = Exiv2::ImageFactory::getType(reinterpret_cast<const Exiv2::byte*>(start.data()),
                                            static_cast<long>(start.size()));
    } catch (const std::exception&) {
        // Some kinds' tests read past a short file's end: it is none of them.
        return false;
    }
    return type == Exiv2::ImageType::jpeg || type == Exiv2::ImageType::png || type == Exiv2::ImageType::webp ||
           type == Exiv2::ImageType::tiff;
}

// The field itself, or a part of one that holds several:
// "Xmp.iptcExt.LocationCreated[1]/Iptc4xmpExt:City".
bool Below(std::string_view key, std::string_view field) {
    return key.starts_with(field) &&
           (key.size() == field.size() || key[field.size()] == '[' || key[field.size()] == '/');
}

bool AnyBelow(std::string_view key, std::initializer_list<std::string_view> fields) {
    return std::any_of(fields.begin(), fields.end(), [&](std::string_view field) { return Below(key, field); });
}

bool IsLocation(const Exiv2::Exifdatum& datum) {
    // The GPS folder and the pointer to it.
    return datum.groupName() == "GPSInfo" || datum.key() == "Exif.Image.GPSTag";
}

bool IsLocation(const Exiv2::Iptcdatum& datum) {
    return AnyBelow(datum.key(),
                    {"Iptc.Application2.City", "Iptc.Application2.SubLocation", "Iptc.Application2.ProvinceState",
                     "Iptc.Application2.CountryCode", "Iptc.Application2.CountryName", "Iptc.Application2.LocationCode",
                     "Iptc.Application2.LocationName"});
}

bool IsLocation(const Exiv2::Xmpdatum& datum) {
    const std::string key = datum.key();
    return key.starts_with("Xmp.exif.GPS") ||
           AnyBelow(key, {"Xmp.photoshop.City", "Xmp.photoshop.State", "Xmp.photoshop.Country", "Xmp.iptc.Location",
                          "Xmp.iptc.CountryCode", "Xmp.iptcExt.LocationCreated", "Xmp.iptcExt.LocationShown"});
}

template <class TData>
bool HasLocation(const TData& data) {
    return std::any_of(data.begin(), data.end(), [](const auto& datum) { return IsLocation(datum); });
}

template <class TData>
void RemoveLocation(TData& data) {
    for (auto datum = data.begin(); datum != data.end();) datum = IsLocation(*datum) ? data.erase(datum) : ++datum;
}

struct TFound {
    bool exif = false, iptc = false, xmp = false;
    bool Any() const { return exif || iptc || xmp; }
};

TFound FindLocation(const Exiv2::Image& image) {
    return {HasLocation(image.exifData()), HasLocation(image.iptcData()), HasLocation(image.xmpData())};
}

// Reads the picture's metadata from the bytes, which must outlive it.
auto OpenPicture(const std::string& bytes) {
    auto image =
        Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()), static_cast<long>(bytes.size()));
    image->readMetadata();
    return image;
}

std::string ContentOf(Exiv2::Image& image) {
    Exiv2::BasicIo& io = image.io();
    io.open();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf content = io.read(static_cast<long>(io.size()));
    io.close();
    return std::string(reinterpret_cast<const char*>(content.pData_), static_cast<std::size_t>(content.size_));
}

// The whole picture and where its location is; nothing found for a file
// that is no such picture, or whose metadata the library cannot make out:
// it goes up as it always did.
struct TExamined {
    std::string bytes;
    TFound found;
};

std::optional<TExamined> Examine(int file, const std::string& name) {
    if (!IsWritablePicture(file, name)) return std::nullopt;
    TExamined examined{ReadFrom(file, name, std::numeric_limits<std::size_t>::max()), {}};
    try {
        examined.found = FindLocation(*OpenPicture(examined.bytes));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (!examined.found.Any()) return std::nullopt;
    return examined;
}

}  // namespace

std::optional<std::string> WithoutLocation(int file, const std::string& name) {
    PrepareLibrary();
    const std::optional<TExamined> examined = Examine(file, name);
    if (!examined) return std::nullopt;

    std::string cleaned;
    try {
        auto image = OpenPicture(examined->bytes);
        RemoveLocation(image->exifData());
        RemoveLocation(image->iptcData());
        RemoveLocation(image->xmpData());
        // XMP without location goes back as it was read, not as the library
        // would write it anew.
        if (!examined->found.xmp) image->writeXmpFromPacket(true);
        image->writeMetadata();
        cleaned = ContentOf(*image);
        // What goes up is read back as a visitor's program would read it.
        if (FindLocation(*OpenPicture(cleaned)).Any())
            throw TLocationStays(TFault::LocationStays, name, TCause::LocationStillThere);
    } catch (const TLocationStays&) {
        throw;
    } catch (const std::exception& error) {
        throw TLocationStays(TFault::LocationStays, name, TCause::None, error.what());
    }
    return cleaned;
}

core::TOpenFile InMemoryFile(const std::string& bytes, const std::string& name) {
    core::TOpenFile file(memfd_create("tavirel-bild", MFD_CLOEXEC));
    if (!file || !core::WriteAll(file.Get(), bytes)) throw TTransferError(TFault::NoMemoryForPicture, name);
    return file;
}

std::size_t PicturesWithLocation(const TPublishPlan& plan) {
    PrepareLibrary();
    const core::TPageFolder folder(plan.folder);
    std::size_t count = 0;
    for (const std::string& file : plan.files) {
        const core::TOpenedName opened = folder.Open(file, &file == &plan.files.front());
        if (!opened.file) continue;
        try {
            if (Examine(opened.file.Get(), file)) ++count;
        } catch (const TTransferError&) {
            // Unreadable now: the publish itself says so.
        }
    }
    return count;
}

}  // namespace transfer
