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

// "3,9 MB": millions of bytes, one decimal, as German writes them.
std::string Megabytes(std::uint64_t bytes);

}  // namespace pictures
