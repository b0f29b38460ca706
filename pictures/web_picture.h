#pragma once

// A picture as it goes onto the web: built anew from its pixels and a short
// list of what it must keep (its colour profile, its orientation, the
// author's copyright, name and description), so that nothing else it held
// can go with it, whatever container held it and however many times.

#include <optional>
#include <string>
#include <string_view>

namespace pictures {

// The longer side a picture is scaled to when it exceeds it; kNoScaling
// rebuilds every picture at its own size.
constexpr int kNoScaling = 0;
constexpr int kWebSide = 1600;

struct TWebPicture {
    std::string bytes;  // the same kind as the original
    int width = 0, height = 0;
    int originalWidth = 0, originalHeight = 0;
    bool scaled = false;
    // The original told where it was taken, as far as a look at its
    // metadata shows; only counted, the rebuild never relies on it.
    bool hadLocation = false;
};

// The web copy of a JPEG, PNG, WebP or GIF picture; a JPEG, PNG or still
// WebP whose longer side exceeds `longestSide` scaled to it with its
// orientation applied, unless that is no smaller. nullopt for anything that
// cannot be rebuilt with certainty: another kind, a broken or truncated
// file, one larger than the limits. Parses untrusted bytes: the program runs
// it in the picture process only (picture_process.h).
std::optional<TWebPicture> RebuildForWeb(std::string_view original, int longestSide);

// What the picker shows of a picture: RebuildForWeb at kWebSide (nullopt
// when that fails), its web copy decoded and fitted into `previewSide`
// pixels, upright. `bytes` holds its RGBA rows, width × height × 4 bytes,
// to be taken as they are: the program decodes nothing it did not make.
std::optional<TWebPicture> PreviewForWeb(std::string_view original, int previewSide);

// How the picture process hands a result over: a line of numbers, then the
// bytes. Parsed with bounds; nullopt unless whole.
std::string ReportOf(const TWebPicture& picture);
std::optional<TWebPicture> PictureFromReport(std::string_view report);

}  // namespace pictures
