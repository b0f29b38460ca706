#pragma once

// The names a page gives for files in its folder ("bilder/a.jpg"): whether
// one stays inside the folder, whether it may leave the machine at all,
// how it is printed, and opening it so that what is read is what was judged.
// A page may come from someone else (a template, an unpacked archive), so
// every name is untrusted.

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Whether the name, as spelled, stays in the page's folder: neither rooted
// nor starting with "..". Names must already be free of inner dot segments,
// as page_references.h gives them. This is the lexical judgement, and it is
// all the picture picker needs for naming: a subfolder that is a link to
// elsewhere (bilder → ~/Fotos) counts as inside, since the page works on the
// user's own machine. Sending judges again by what the file system resolves
// (TPageFolder::Open), and that leaves such a picture behind.
bool NamesInsideTheFolder(std::string_view name);

// No file name should hold these: a segment with a control byte (NUL from
// "%00"), a backslash (from "%5C", a server may take it as a folder), or
// more than 255 bytes.
bool IsInvalidName(std::string_view name);
// Any segment starting with ".": .htpasswd, .git/, .ssh/ are never public.
bool IsHiddenName(std::string_view name);

// The name fit for a message or a list: control bytes (also the C1 ones and
// those that turn the direction of text) and the backslash as the page
// escapes them, "%00", "%5C"; everything else as it is.
std::string PrintableName(std::string_view name);

// Why a name the page gives is not sent.
enum class TNameFault {
    Missing,        // no such regular file
    OutsideFolder,  // "../" or rooted
    LinkOutside,    // a link on the way leads out of the folder
    Hidden,
    Invalid,
};
// "(fehlt)", "(außerhalb des Ordners)", …: the words after the name, UTF-8.
std::string_view FaultWords(TNameFault fault);

// A file descriptor that closes itself.
class TOpenFile {
public:
    TOpenFile() = default;
    explicit TOpenFile(int fd) : fd_(fd) {}
    TOpenFile(TOpenFile&& other) noexcept : fd_(other.Release()) {}
    TOpenFile& operator=(TOpenFile&& other) noexcept;
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;
    ~TOpenFile();
    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_ = -1;
};

// What opening a name gave: the regular file, open for reading, or why not.
// A folder is neither: it names no file, and nothing is missing.
struct TOpenedName {
    TOpenFile file;
    std::optional<TNameFault> fault;
    bool folder = false;
};

// What the file system says of a name, judged as opening it would judge
// it, without opening the file: enough to tell it is as it was when last
// read, never enough to read it.
struct TLookedName {
    struct stat status {};
    std::optional<TNameFault> fault;
    bool folder = false;
};

// Where a page of the folder is written: the folder its name leads to, held
// open, and its name there. Every call that writes the page is made relative
// to that folder, so a link swapped in on the way afterwards changes nothing.
struct TPagePlace {
    TOpenFile folder;
    std::string name;  // one segment
    // The regular file there now; none when nothing is.
    std::optional<struct stat> status;
};

// The page's folder, opened once where the file system has it.
class TPageFolder {
public:
    // A folder that cannot be opened holds no file: every name is missing.
    explicit TPageFolder(const std::filesystem::path& folder);
    bool IsOpen() const { return static_cast<bool>(folder_); }
    // Opens the name below the folder without ever leaving it: see
    // folder_names.cpp. The page file itself (`pageFile`) is not judged
    // hidden: its name is the wizard's, not the page's.
    TOpenedName Open(std::string_view name, bool pageFile = false) const;
    TLookedName Look(std::string_view name, bool pageFile = false) const;
    // Where the page file `name` is written, links on the way walked inside
    // the folder as Open walks them; nullopt when the name leads to no place
    // a page can be (out of the folder, through a missing folder, onto a
    // folder or any other kind of file). The page's name is the user's, so
    // any byte the file system takes is allowed in it.
    std::optional<TPagePlace> Place(std::string_view name) const;
    // The names of the regular files directly in the folder, in order; no
    // link, whatever it leads to.
    std::vector<std::string> RegularFiles() const;

private:
    struct TWalk;
    // Names the user gives may hold any byte the file system takes; names a
    // page gives are judged by their spelling too.
    enum class TSpelling { Judged, Any };
    TWalk Walk(std::string_view name, bool pageFile, TSpelling spelling = TSpelling::Judged) const;
    // The folder a walk ended in, to keep.
    TOpenFile Keep(TWalk& walk) const;

    TOpenFile folder_;
    std::string realPath_;
};

}  // namespace core
