#pragma once

#include <filesystem>

namespace core {

// Copies `from` to the new file `to`. The copy is written under a hidden
// name beside `to` and takes its name only when complete, so `to` never
// holds part of it; an existing `to` is never replaced. False, with nothing
// changed, when `to` exists; errors are TPathFileError (page_file.h).
bool CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether both are regular files holding the same bytes.
bool HaveSameBytes(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace core
