#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
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
// on any failure, or a kill, it stays exactly as it was. Only where its
// folder refuses new files but the page itself may be written is the page
// overwritten in place: its bytes are first kept in PageCopyPath, flushed to
// the disk, and after a failure this process sees (a full disk, the file
// size limit, an I/O error) written back, the copy then deleted; when even
// that fails, the message names the copy. A kill leaves the copy for
// LeftPageCopy to find; while it is there a save in place refuses to start.
// The name is Windows-1252 bytes.
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

// What the file system tells of a file, enough to see that it is still the
// one a save wrote: the same file, its size and its times. The change time
// moves with every write and, unlike the modification time, cannot be set
// back by a program that copies or restores files.
struct TFileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since 1970
    std::int64_t changed = 0;
    bool operator==(const TFileStamp&) const = default;
};
// Links followed; nothing when it is not there or is no regular file.
std::optional<TFileStamp> FileStamp(const std::filesystem::path& file);

// Where a save in place keeps the page's previous bytes while it writes:
// $XDG_STATE_HOME/tavirel/ (~/.local/state/tavirel/ when that is unset or
// not absolute), named after the page's absolute path. Empty when there is
// no home folder or the page's folder does not exist.
std::filesystem::path PageCopyPath(const std::filesystem::path& page);
// The copy a save in place that was cut off left of this page, or empty.
std::filesystem::path LeftPageCopy(const std::filesystem::path& page);
// Writes the copy's bytes back over the page, then deletes the copy.
void RestorePageCopy(const std::filesystem::path& page);
// Deletes the copy, if any: the page stays as it is.
void DiscardPageCopy(const std::filesystem::path& page);

}  // namespace core
