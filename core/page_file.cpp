#include "core/page_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/ansi_text.h"
#include "core/page_reader.h"
#include "core/system_calls.h"

namespace core {
namespace {

// A file as its caller named it: the path handed to the system (UTF-8) and
// the name the messages show, in the caller's encoding.
struct TNamedFile {
    std::string path;
    std::string shown;
    bool utf8Messages = false;
};

[[noreturn]] void Throw(const TNamedFile& file, const std::string& message) {
    if (file.utf8Messages) throw TPathFileError(message);
    throw TPageFileError(message);
}

[[noreturn]] void ThrowCannotCreate(const TNamedFile& file) {
    Throw(file, "Cannot create file " + file.shown);
}

[[noreturn]] void ThrowWriteError(const TNamedFile& file) {
    Throw(file, "Stream write error");
}

[[noreturn]] void ThrowCannotOpen(const TNamedFile& file) {
    Throw(file, "Cannot open file " + file.shown);
}

[[noreturn]] void ThrowReadError(const TNamedFile& file) {
    Throw(file, "Stream read error");
}

// A NUL would silently cut the name short and reach another file.
bool IsUsableName(const std::string& fileName) {
    return !fileName.empty() && fileName.find('\0') == std::string::npos;
}

// The disk starts on each written megabyte while the next is still being
// copied, instead of on all of them at the fsync. Measured with
// ./scripts/bench, a 100,000-entry page against one write+fsync: 1.31
// times without, 1.05 to 1.15 times with.
bool WriteAndFlush(int fd, std::string_view bytes) {
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    for (off_t offset = 0; !bytes.empty();) {
        const std::string_view chunk = bytes.substr(0, kChunk);
        if (!WriteAll(fd, chunk)) return false;
        sync_file_range(fd, offset, static_cast<off_t>(chunk.size()), SYNC_FILE_RANGE_WRITE);
        offset += static_cast<off_t>(chunk.size());
        bytes.remove_prefix(chunk.size());
    }
    return RetryInterrupted([fd] { return fsync(fd); }) == 0;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A link to the page is kept as a link: the file it points to is replaced.
std::string FollowLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0) return path;
        const std::string next(target, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : DirectoryOf(path) + "/" + next;
    }
    return path;
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A file written under a hidden name and renamed once whole: the new page
// beside the old one, so that a failed or interrupted save never tears the
// page, and the copy of a page kept while it is overwritten in place.
class TTempFile {
public:
    TTempFile() = default;
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile() { Discard(); }

    // False with errno set when the directory refuses the file.
    bool Create(const std::string& directory) {
        std::string name;
        // mkostemp fills in the X's, so each attempt starts from the pattern.
        fd_ = RetryInterrupted([&] {
            name = directory + "/.tavirel-XXXXXX";
            return mkostemp(name.data(), O_CLOEXEC);
        });
        if (fd_ < 0) return false;
        name_ = std::move(name);
        return true;
    }

    int Descriptor() const { return fd_; }

    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

    bool RenameTo(const std::string& target) {
        if (RetryInterrupted([&] { return rename(name_.c_str(), target.c_str()); }) != 0) return false;
        name_.clear();
        return true;
    }

    void Discard() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
        if (!name_.empty()) unlink(name_.c_str());
        name_.clear();
    }

private:
    std::string name_;
    int fd_ = -1;
};

struct TClosedAtEnd {
    int fd;
    ~TClosedAtEnd() { close(fd); }
};

void SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Reads `start` first; a file that does not begin with it is given back
// with no more than those bytes read. An empty `start` reads everything.
std::string Read(const TNamedFile& file, std::string_view start) {
    // Not blocking: a pipe under the page's name must not hang the program.
    const int fd = RetryInterrupted([&] { return open(file.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0) ThrowCannotOpen(file);
    const TClosedAtEnd closed{fd};
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) ThrowCannotOpen(file);

    std::string bytes;
    char buffer[65536];
    const auto readMore = [&](std::size_t most) {
        const ssize_t got = RetryInterrupted([&] { return read(fd, buffer, std::min(most, sizeof buffer)); });
        if (got < 0) ThrowReadError(file);
        bytes.append(buffer, static_cast<std::size_t>(got));
        return got > 0;
    };
    while (bytes.size() < start.size())
        if (!readMore(start.size() - bytes.size())) return bytes;
    if (bytes != start) return bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    while (readMore(sizeof buffer)) {
    }
    return bytes;
}

// A folder the user may not create files in can still hold a page the user
// may write. Overwriting it where it is, is then the one way to save it.
bool FolderRefusesNewFiles(int error) {
    return error == EACCES || error == EPERM;
}

// $XDG_STATE_HOME/tavirel, or ~/.local/state/tavirel; empty without a home.
std::string StateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
        return std::string(state) + "/tavirel";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return "";
    return std::string(home) + "/.local/state/tavirel";
}

// Private to the user: the copies hold pages that may not be published yet.
bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

// The page's absolute path with its folder resolved, "/" written "%2F" and
// "%" written "%25": two pages never share a copy, and the name still says
// whose copy it is. A name too long for the file system keeps its end,
// after a hash of the whole.
std::string CopyName(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    char* folder = realpath(DirectoryOf(target).c_str(), nullptr);
    if (folder == nullptr) return "";
    const std::string absolute = std::string(folder) + "/" + base;
    std::free(folder);
    std::string name;
    for (std::size_t i = 1; i < absolute.size(); ++i) {
        const char c = absolute[i];
        name += c == '/' ? "%2F" : c == '%' ? "%25" : std::string(1, c);
    }
    if (name.size() <= NAME_MAX) return name;
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : absolute) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016llx-", static_cast<unsigned long long>(hash));
    return hex + name.substr(name.size() - 200);
}

std::string CopyPath(const std::string& target) {
    const std::string folder = StateFolder();
    const std::string name = CopyName(target);
    return folder.empty() || name.empty() ? "" : folder + "/" + name;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// The copy is complete and on the disk before it takes its name, so a copy
// found under that name is always a whole page.
void KeepCopy(const std::string& copy, std::string_view bytes) {
    const auto refuse = [&copy] { throw TPathFileError("Cannot create file " + copy); };
    const std::string folder = DirectoryOf(copy);
    TTempFile temp;
    if (!MakeFolders(folder) || !temp.Create(folder)) refuse();
    if (!WriteAndFlush(temp.Descriptor(), bytes) || !temp.Close()) refuse();
    // One left by a save that was cut off is the user's to restore or drop.
    if (Exists(copy) || !temp.RenameTo(copy)) refuse();
    SyncDirectory(folder);
}

void DropCopy(const std::string& copy) {
    if (unlink(copy.c_str()) == 0) SyncDirectory(DirectoryOf(copy));
}

// Truncates the page and writes the bytes where they are.
bool WriteInPlace(const std::string& target, std::string_view bytes) {
    const int fd = RetryInterrupted([&] { return open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC); });
    if (fd < 0) return false;
    const bool written = WriteAndFlush(fd, bytes);
    return close(fd) == 0 && written;
}

// Before the page is overwritten its bytes are kept twice: in memory, to put
// them back after any failure this process sees (a full disk, the file size
// limit, an I/O error), and in the state folder, for a kill or a power cut,
// which no process can undo; the next save or opening of the page offers
// that copy back.
void SaveInPlace(const TNamedFile& file, const std::string& target, const TLineList& lines) {
    const std::string copy = CopyPath(target);
    if (copy.empty()) ThrowCannotCreate(file);
    const std::string old = Read({target, file.shown, file.utf8Messages}, std::string_view());
    KeepCopy(copy, old);
    if (!WriteInPlace(target, lines.FileBytes())) {
        if (!WriteInPlace(target, old))
            throw TPathFileError("Stream write error. Die vorherige Fassung der Seite liegt in „" + copy + "“");
        DropCopy(copy);
        ThrowWriteError(file);
    }
    DropCopy(copy);
}

void Save(const TNamedFile& file, const TLineList& lines) {
    const std::string target = FollowLinks(file.path);
    const std::string directory = DirectoryOf(target);
    struct stat old {};
    const bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) ThrowCannotCreate(file);
    // A link that never reaches a file (a loop, an endless chain) stays a link.
    if (!replacing && IsLink(target)) ThrowCannotCreate(file);
    // A page its owner made read-only stays as it is, as it would if it were
    // truncated in place.
    if (replacing && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) ThrowCannotCreate(file);

    TTempFile temp;
    if (!temp.Create(directory)) {
        if (!replacing || !FolderRefusesNewFiles(errno)) ThrowCannotCreate(file);
        SaveInPlace(file, target, lines);
        return;
    }
    if (replacing) {
        fchmod(temp.Descriptor(), old.st_mode & 07777);
        if (geteuid() == 0) (void)!fchown(temp.Descriptor(), old.st_uid, old.st_gid);
    } else {
        fchmod(temp.Descriptor(), NewFileMode());
    }
    if (!WriteAndFlush(temp.Descriptor(), lines.FileBytes())) ThrowWriteError(file);
    if (!temp.Close()) ThrowWriteError(file);
    if (!temp.RenameTo(target)) ThrowCannotCreate(file);
    SyncDirectory(directory);
}

}  // namespace

std::filesystem::path PageCopyPath(const std::filesystem::path& page) {
    return CopyPath(FollowLinks(page.string()));
}

std::filesystem::path LeftPageCopy(const std::filesystem::path& page) {
    const std::string copy = CopyPath(FollowLinks(page.string()));
    return !copy.empty() && IsRegularFile(copy) ? std::filesystem::path(copy) : std::filesystem::path();
}

void RestorePageCopy(const std::filesystem::path& page) {
    const std::string target = FollowLinks(page.string());
    const std::string copy = CopyPath(target);
    const std::string bytes = Read({copy, copy, true}, std::string_view());
    if (!WriteInPlace(target, bytes)) throw TPathFileError("Cannot create file " + page.string());
    DropCopy(copy);
}

void DiscardPageCopy(const std::filesystem::path& page) {
    if (const std::string copy = CopyPath(FollowLinks(page.string())); !copy.empty()) DropCopy(copy);
}

std::string PageFileName(const TPageDescription& page) {
    return page.FileBaseName + (page.LongExtension ? ".html" : ".htm");
}

void SavePageLines(const std::string& fileName, const TLineList& lines) {
    const TNamedFile file{AnsiToUtf8(fileName), fileName};
    if (!IsUsableName(fileName)) ThrowCannotCreate(file);
    Save(file, lines);
}

bool IsExistingFile(const std::string& fileName) {
    return IsUsableName(fileName) && IsRegularFile(AnsiToUtf8(fileName));
}

std::string ReadPageFile(const std::string& fileName) {
    const TNamedFile file{AnsiToUtf8(fileName), fileName};
    if (!IsUsableName(fileName)) ThrowCannotOpen(file);
    return Read(file, std::string_view());
}

void SavePageFile(const std::filesystem::path& path, const TLineList& lines) {
    const TNamedFile file{path.string(), path.string(), true};
    if (!IsUsableName(file.path)) ThrowCannotCreate(file);
    Save(file, lines);
}

bool IsExistingPath(const std::filesystem::path& path) {
    return IsUsableName(path.string()) && IsRegularFile(path.string());
}

std::optional<TFileStamp> FileStamp(const std::filesystem::path& path) {
    struct stat st {};
    if (!IsUsableName(path.string()) || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    constexpr std::int64_t kNano = 1'000'000'000;
    return TFileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::int64_t>(st.st_size), st.st_mtim.tv_sec * kNano + st.st_mtim.tv_nsec,
                      st.st_ctim.tv_sec * kNano + st.st_ctim.tv_nsec};
}

std::string ReadPossiblePage(const std::filesystem::path& path) {
    const TNamedFile file{path.string(), path.string(), true};
    if (!IsUsableName(file.path)) ThrowCannotOpen(file);
    return Read(file, kPageStart);
}

}  // namespace core
