#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/line_list.h"
#include "core/page_description.h"

namespace core {

class TPageFolder;

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

// Another file took the page's name between the look that judged it and
// the save: "<name> wurde während des Speicherns ersetzt und bleibt
// unverändert". Nothing was written.
class TPageReplacedError : public TPathFileError {
public:
    using TPathFileError::TPathFileError;
};

// FileBaseName plus ".html" or ".htm", nothing else.
std::string PageFileName(const TPageDescription& page);

// What the file system tells of a file, enough to see that it is still the
// one that was judged or written: the same file, its size and its times. The
// change time moves with every write and, unlike the modification time,
// cannot be set back by a program that copies or restores files.
struct TFileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since 1970
    std::int64_t changed = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp StampOf(const struct stat& status);

// What a save may replace: the file the caller judged, or nothing where it
// found none. A save finds anything else under the name and leaves it alone.
using TJudgedPage = std::optional<TFileStamp>;

// No page is larger: a file that is, is no page of this program and is
// never read whole. Ten times the largest page the benchmarks write.
inline constexpr std::int64_t kMostPageBytes = std::int64_t{64} << 20;

// A page file read through its folder: the bytes when it starts as every
// page does (kPageStart) and is no larger than kMostPageBytes, otherwise no
// more than its start, enough to tell it is no page; and the file they were
// read from.
struct TReadPageFile {
    std::string bytes;
    TFileStamp stamp;
};

// Writes every line followed by CR LF under `name` in the folder (links
// inside the folder followed, never out of it), as long as the name still
// holds what `judged` says; otherwise throws TPageReplacedError. The old
// file is replaced atomically: on any failure, or a kill, it stays exactly
// as it was. Only where its folder refuses new files but the page itself may
// be written is the page overwritten in place: its bytes are first kept in
// PageCopyPath, flushed to the disk, and after a failure this process sees
// (a full disk, the file size limit, an I/O error) written back, the copy
// then deleted; when even that fails, the message names the copy. A kill
// leaves the copy for LeftPageCopy to find; while it is there a save in
// place refuses to start. Errors name the file as `shown` (UTF-8), by
// default its name. Returns the stamp of the file written.
TFileStamp SavePage(const TPageFolder& folder, std::string_view name, const TLineList& lines, const TJudgedPage& judged,
                    std::string_view shown = {});
// The regular file under the name now, links inside the folder followed;
// nothing when there is none.
TJudgedPage LookAtPage(const TPageFolder& folder, std::string_view name);
// Throws TPathFileError "Cannot open file <name>" when there is no regular
// file to read, and "Stream read error".
TReadPageFile ReadPossiblePage(const TPageFolder& folder, std::string_view name);

// The same as SavePage for a name that may hold a folder, relative to the
// working directory, replacing whatever it holds now. The name is
// Windows-1252 bytes, and so are the messages.
void SavePageLines(const std::string& fileName, const TLineList& lines);

// True when the name, links followed, is an existing regular file. The
// name is Windows-1252 bytes.
bool IsExistingFile(const std::string& fileName);

// The file's bytes, as ReadPossiblePage gives them. The name is
// Windows-1252 bytes.
std::string ReadPageFile(const std::string& fileName);

// The same for a path as the file system holds it (UTF-8 on Linux), links
// followed wherever they lead: reading harms nothing.
std::string ReadPossiblePage(const std::filesystem::path& file);

// Where a save in place keeps the page's previous bytes while it writes:
// $XDG_STATE_HOME/tavirel/ (~/.local/state/tavirel/ when that is unset or
// not absolute), named after the page's absolute path. Empty when there is
// no home folder or the page's folder does not exist.
std::filesystem::path PageCopyPath(const TPageFolder& folder, std::string_view name);
// The copy a save in place that was cut off left of this page, or empty.
std::filesystem::path LeftPageCopy(const TPageFolder& folder, std::string_view name);
// Writes the copy's bytes back over the page, which must still be the file
// `judged` names, then deletes the copy.
void RestorePageCopy(const TPageFolder& folder, std::string_view name, const TJudgedPage& judged);
// Deletes the copy, if any: the page stays as it is.
void DiscardPageCopy(const TPageFolder& folder, std::string_view name);

}  // namespace core
