#pragma once

// The words the program says about pictures, together in one place.

#include <cstddef>
#include <cstdint>
#include <string>

#include "pictures/web_picture.h"

namespace pictures {

// Why a picture is not sent: it could not be rebuilt.
extern const char* const kNotCleanable;  // "(Ortsangaben lassen sich nicht sicher entfernen)"

// Beside a picture's name while it is rebuilt, before anything is sent.
extern const char* const kPreparing;  // ": wird fürs Netz vorbereitet …"

// What the rebuilds of one publish did, counted over the pictures that go up.
struct TPicturesDone {
    std::size_t scaled = 0;
    std::uint64_t scaledFrom = 0, scaledTo = 0;  // bytes
    std::size_t withoutLocation = 0;

    void Add(const TWebPicture& picture, std::uint64_t originalBytes);
};

// "14 Fotos verkleinert (52,3 MB → 3,4 MB), Ortsangaben aus 9 entfernt";
// either half alone, or nothing when there is nothing to say.
std::string DoneLine(const TPicturesDone& done);

// What the picker says of a file: "4.000 × 3.000 Pixel, 3,9 MB – wird fürs
// Netz verkleinert" for a picture (`preview` its preview), "3,9 MB – wird
// nicht übertragen (Ortsangaben lassen sich nicht sicher entfernen)" for a
// picture that cannot be rebuilt (`preview` nullptr), "3,9 MB" for a file
// that is no picture.
std::string PreviewLine(bool picture, const TWebPicture* preview, std::uint64_t bytes);

// "3,9 MB": millions of bytes, one decimal, as German writes them.
std::string Megabytes(std::uint64_t bytes);

}  // namespace pictures
