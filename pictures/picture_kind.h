#pragma once

// What a file is by its first bytes, never by its name: a picture named
// "foto.txt" carries its location all the same, and a browser shows it.

#include <cstddef>
#include <string_view>

namespace pictures {

enum class TPictureKind {
    None,  // no picture: goes up as it is
    Jpeg,
    Png,
    Gif,
    Webp,
    // A picture that can carry where it was taken but that this program
    // cannot rebuild (TIFF, HEIF, AVIF, JPEG XL, JPEG 2000, Photoshop):
    // never sent.
    Other,
};

// Enough of a file's start to tell its kind.
constexpr std::size_t kKindBytes = 32;

TPictureKind PictureKindOf(std::string_view start);

}  // namespace pictures
