#include "pictures/picture_words.h"

namespace pictures {

const char* const kNotCleanable = "(Ortsangaben lassen sich nicht sicher entfernen)";
const char* const kPreparing = ": wird fürs Netz vorbereitet …";

void TPicturesDone::Add(const TWebPicture& picture, std::uint64_t originalBytes) {
    if (picture.scaled) {
        ++scaled;
        scaledFrom += originalBytes;
        scaledTo += picture.bytes.size();
    }
    if (picture.hadLocation) ++withoutLocation;
}

std::string Megabytes(std::uint64_t bytes) {
    // Tenths of a megabyte, rounded; a picture of any size shows as one at least.
    const std::uint64_t tenths = bytes == 0 ? 0 : std::max<std::uint64_t>(1, (bytes + 50000) / 100000);
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " MB";
}

namespace {

// "4.000": thousands marked as German writes them.
std::string Grouped(int number) {
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ".");
    return digits;
}

}  // namespace

std::string PreviewLine(bool picture, const TWebPicture* preview, std::uint64_t bytes) {
    if (!picture) return Megabytes(bytes);
    if (preview == nullptr) return Megabytes(bytes) + " – wird nicht übertragen " + kNotCleanable;
    return Grouped(preview->originalWidth) + " × " + Grouped(preview->originalHeight) + " Pixel, " + Megabytes(bytes) +
           (preview->scaled ? " – wird fürs Netz verkleinert" : "");
}

std::string DoneLine(const TPicturesDone& done) {
    std::string line;
    if (done.scaled != 0)
        line = std::to_string(done.scaled) + (done.scaled == 1 ? " Foto" : " Fotos") + " verkleinert (" +
               Megabytes(done.scaledFrom) + " → " + Megabytes(done.scaledTo) + ")";
    if (done.withoutLocation != 0)
        line += (line.empty() ? "" : ", ") + std::string("Ortsangaben aus ") + std::to_string(done.withoutLocation) +
                " entfernt";
    return line;
}

}  // namespace pictures
