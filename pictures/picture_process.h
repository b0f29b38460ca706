#pragma once

// The program's side of the picture process: starts it for one picture,
// hands it the picture and takes its web copy back. Plain C++: used by the
// publish below the windows and by the wizard's picker alike.

#include <chrono>
#include <filesystem>
#include <optional>

#include "pictures/web_picture.h"

namespace pictures {

// Where the build and the package put the picture process: beside the
// program's private libraries, bin/../lib/tavirel.
std::filesystem::path PictureProgram();

// Tests only, to stand for a picture that crashes or hangs the process: the
// program started instead of the picture process, and how long it may take.
// The program never sets it.
struct TPictureProcessSeam {
    std::filesystem::path program;
    std::chrono::milliseconds wait;
};
extern std::optional<TPictureProcessSeam> PictureProcessForTests;

// RebuildForWeb of the open file's bytes, from its start, run in a picture
// process of its own with limits on memory and time. nullopt when the
// picture cannot be rebuilt, the process crashes or takes longer than a
// minute (it is then ended), or cannot be started.
std::optional<TWebPicture> RebuildApart(int file, int longestSide);

// PreviewForWeb the same way; nullopt also when its pixels are not whole.
std::optional<TWebPicture> PreviewApart(int file, int previewSide);

}  // namespace pictures
