#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/line_list.h"
#include "core/page_description.h"

namespace core {

// what() is the message the user sees: "Cannot create file <name>",
// "Stream write error", "Cannot open file <name>" or "Stream read error".
class TPageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The same errors for a file named by a file system path: what() names it
// in UTF-8, as the path was given.
class TPathFileError : public TPageFileError {
public:
    using TPageFileError::TPageFileError;
};

// FileBaseName plus ".html" or ".htm", nothing else.
std::string PageFileName(const TPageDescription& page);

// Writes every line followed by CR LF. The old file is replaced atomically:
// on any failure it stays exactly as it was. Only where its folder refuses
// new files but the page itself may be written is the page overwritten in
// place, and a failed write there leaves it short. The name is
// Windows-1252 bytes.
void SavePageLines(const std::string& fileName, const TLineList& lines);

// True when the name, links followed, is an existing regular file. The
// name is Windows-1252 bytes.
bool IsExistingFile(const std::string& fileName);

// The whole file's bytes. The name is Windows-1252 bytes.
std::string ReadPageFile(const std::string& fileName);

// The same three for a path as the file system holds it (UTF-8 on Linux),
// whatever characters it has; their errors are TPathFileError.
void SavePageFile(const std::filesystem::path& file, const TLineList& lines);
bool IsExistingPath(const std::filesystem::path& file);
// The file's bytes when it starts as every page does (kPageStart);
// otherwise no more than its first bytes, enough to tell it is no page, so
// that a large foreign file is refused without being read.
std::string ReadPossiblePage(const std::filesystem::path& file);

}  // namespace core
