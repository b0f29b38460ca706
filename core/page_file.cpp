#include "core/page_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "core/ansi_text.h"
#include "core/folder_names.h"
#include "core/page_reader.h"
#include "core/system_calls.h"

namespace core {

std::function<void(std::string_view)> BetweenJudgingAndWriting;

namespace {

// A file as its caller named it: the name the messages show, in the
// caller's encoding.
struct TNamedFile {
    std::string shown;
    bool utf8Messages = true;
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

[[noreturn]] void ThrowReplaced(const TNamedFile& file) {
    throw TPageReplacedError(file.shown + " wurde während des Speicherns ersetzt und bleibt unverändert");
}

// A NUL would silently cut the name short and reach another file.
bool IsUsableName(std::string_view fileName) {
    return !fileName.empty() && fileName.find('\0') == std::string_view::npos;
}

// The folder part of a name given with one, and the name in it.
std::pair<std::string, std::string> SplitName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
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

enum class TCopied { Whole, ReadFailed, WriteFailed };

// Copies what is left of `from` to `to`.
TCopied CopyRest(int from, int to) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = RetryInterrupted([&] { return read(from, buffer, sizeof buffer); });
        if (got < 0) return TCopied::ReadFailed;
        if (got == 0) return TCopied::Whole;
        if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(got)))) return TCopied::WriteFailed;
    }
}

// ".tavirel-" and six letters or digits, as mkstemp would pick them; from
// the clock where the kernel gives no random numbers.
std::string TemporaryName() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char random[6];
    if (getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        static unsigned counter = 0;
        std::uint64_t seed = static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(getpid()) << 32) ^
                             (++counter * 0x9E3779B97F4A7C15u);
        for (unsigned char& byte : random) {
            byte = static_cast<unsigned char>(seed);
            seed = seed * 6364136223846793005u + 1442695040888963407u;
            byte ^= static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string name = ".tavirel-";
    for (const unsigned char byte : random) name += kLetters[byte % (sizeof kLetters - 1)];
    return name;
}

// A file written under a hidden name in the page's folder and renamed once
// whole: the new page beside the old one, so that a failed or interrupted
// save never tears the page, and the copy of a page kept while it is
// overwritten in place.
class TTempFile {
public:
    explicit TTempFile(int folder) : folder_(folder) {}
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile() { Discard(); }

    // False with errno set when the folder refuses the file.
    bool Create() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = TemporaryName();
            fd_ = RetryInterrupted([&] {
                return openat(folder_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            });
            if (fd_ >= 0) {
                name_ = std::move(name);
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    int Descriptor() const { return fd_; }

    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

    // Renaming never follows a link: whatever the name holds at that moment
    // is replaced, not what it may point to.
    bool RenameTo(const std::string& target, bool replacing) {
        const unsigned flags = replacing ? 0 : RENAME_NOREPLACE;
        int result =
            RetryInterrupted([&] { return renameat2(folder_, name_.c_str(), folder_, target.c_str(), flags); });
        // A file system that cannot rename without replacing: a hard link
        // does the same.
        if (result != 0 && flags != 0 && (errno == EINVAL || errno == ENOSYS)) {
            result = linkat(folder_, name_.c_str(), folder_, target.c_str(), 0);
            if (result == 0) unlinkat(folder_, name_.c_str(), 0);
        }
        if (result != 0) return false;
        name_.clear();
        return true;
    }

    void Discard() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
        if (!name_.empty()) unlinkat(folder_, name_.c_str(), 0);
        name_.clear();
    }

private:
    int folder_;
    std::string name_;
    int fd_ = -1;
};

void SyncFolder(int folder) {
    const TOpenFile fd(openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) fsync(fd.Get());
}

void SyncFolder(const std::string& folder) {
    const TOpenFile fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) fsync(fd.Get());
}

// Appends up to `most` bytes; false at the end of the file.
bool ReadMore(const TNamedFile& file, int fd, std::string& bytes, std::size_t most) {
    const std::size_t had = bytes.size();
    bytes.resize(had + most);
    const ssize_t got = RetryInterrupted([&] { return read(fd, bytes.data() + had, most); });
    if (got < 0) ThrowReadError(file);
    bytes.resize(had + static_cast<std::size_t>(got));
    return got > 0;
}

// The bytes of an open regular file when it starts as a page and is no
// larger than one; otherwise no more than the start.
std::string ReadPossiblePageFrom(const TNamedFile& file, int fd, const struct stat& status) {
    std::string bytes;
    while (bytes.size() < kPageStart.size())
        if (!ReadMore(file, fd, bytes, kPageStart.size() - bytes.size())) return bytes;
    if (bytes != kPageStart || status.st_size > kMostPageBytes) return bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    // Also a file that grows while it is read stops at the bound.
    while (bytes.size() <= static_cast<std::size_t>(kMostPageBytes) &&
           ReadMore(file, fd, bytes, std::min<std::size_t>(65536, kMostPageBytes + 1 - bytes.size()))) {
    }
    return bytes;
}

// Not blocking: a pipe under the page's name must not hang the program.
TOpenFile OpenRegularFile(const TNamedFile& file, int folder, const char* name, struct stat& status) {
    TOpenFile fd(RetryInterrupted([&] { return openat(folder, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC); }));
    if (!fd || fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) ThrowCannotOpen(file);
    return fd;
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

// Where the folder held open is now, every link on the way resolved.
std::string PathOf(int folder) {
    char path[PATH_MAX];
    const ssize_t length = readlink(("/proc/self/fd/" + std::to_string(folder)).c_str(), path, sizeof path - 1);
    if (length <= 0 || path[0] != '/') return "";
    return std::string(path, static_cast<std::size_t>(length));
}

// The page's absolute path, "/" written "%2F" and "%" written "%25": two
// pages never share a copy, and the name still says whose copy it is. A
// name too long for the file system keeps its end, after a hash of the
// whole.
std::string CopyName(const TPagePlace& place) {
    const std::string folder = PathOf(place.folder.Get());
    if (folder.empty()) return "";
    const std::string absolute = (folder == "/" ? "" : folder) + "/" + place.name;
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

std::string CopyPath(const TPagePlace& place) {
    const std::string folder = StateFolder();
    const std::string name = CopyName(place);
    return folder.empty() || name.empty() ? "" : folder + "/" + name;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The copy is complete and on the disk before it takes its name, so a copy
// found under that name is always a whole page.
void KeepCopy(const TNamedFile& file, const std::string& copy, int page) {
    const auto refuse = [&copy] { throw TPathFileError("Cannot create file " + copy); };
    const std::string folder = copy.substr(0, copy.rfind('/'));
    if (!MakeFolders(folder)) refuse();
    const TOpenFile copies(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    TTempFile temp(copies.Get());
    if (!copies || !temp.Create()) refuse();
    if (lseek(page, 0, SEEK_SET) != 0) ThrowReadError(file);
    switch (CopyRest(page, temp.Descriptor())) {
        case TCopied::Whole:
            break;
        case TCopied::ReadFailed:
            ThrowReadError(file);
        case TCopied::WriteFailed:
            refuse();
    }
    if (RetryInterrupted([&] { return fsync(temp.Descriptor()); }) != 0 || !temp.Close()) refuse();
    // One left by a save that was cut off is the user's to restore or drop.
    if (!temp.RenameTo(copy.substr(folder.size() + 1), false)) refuse();
    SyncFolder(folder);
}

void DropCopy(const std::string& copy) {
    if (unlink(copy.c_str()) == 0) SyncFolder(copy.substr(0, copy.rfind('/')));
}

// Writes the copy's bytes over the open page.
bool WriteCopyBack(const std::string& copy, int page) {
    const TOpenFile from(RetryInterrupted([&] { return open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC); }));
    if (!from || ftruncate(page, 0) != 0 || lseek(page, 0, SEEK_SET) != 0) return false;
    return CopyRest(from.Get(), page) == TCopied::Whole && RetryInterrupted([page] { return fsync(page); }) == 0;
}

// The page itself, opened for writing without following a link, and only
// while it is still the file that was judged.
TOpenFile OpenJudgedPage(const TNamedFile& file, const TPagePlace& place, const TFileStamp& judged, int flags) {
    if (BetweenJudgingAndWriting) BetweenJudgingAndWriting(place.name);
    TOpenFile page(RetryInterrupted(
        [&] { return openat(place.folder.Get(), place.name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); }));
    struct stat now {};
    if (!page || fstat(page.Get(), &now) != 0 || !S_ISREG(now.st_mode) || StampOf(now) != judged) ThrowReplaced(file);
    return page;
}

// Before the page is overwritten its bytes are kept in the state folder,
// for a kill or a power cut, which no process can undo, and written back
// after any failure this process sees (a full disk, the file size limit, an
// I/O error); the next save or opening of the page offers that copy back.
void SaveInPlace(const TNamedFile& file, const TPagePlace& place, const TFileStamp& judged, const TLineList& lines) {
    const std::string copy = CopyPath(place);
    if (copy.empty()) ThrowCannotCreate(file);
    const TOpenFile page = OpenJudgedPage(file, place, judged, O_RDWR);
    KeepCopy(file, copy, page.Get());
    if (ftruncate(page.Get(), 0) != 0 || lseek(page.Get(), 0, SEEK_SET) != 0 ||
        !WriteAndFlush(page.Get(), lines.FileBytes())) {
        if (!WriteCopyBack(copy, page.Get()))
            throw TPathFileError("Stream write error. Die vorherige Fassung der Seite liegt in „" + copy + "“");
        DropCopy(copy);
        ThrowWriteError(file);
    }
    DropCopy(copy);
}

// Whether the name still holds what was judged: the same file, or nothing.
bool StillAsJudged(const TPagePlace& place, const TJudgedPage& judged) {
    struct stat now {};
    if (fstatat(place.folder.Get(), place.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) return !judged;
    return judged && S_ISREG(now.st_mode) && StampOf(now) == *judged;
}

TFileStamp Save(const TNamedFile& file, const TPageFolder& folder, std::string_view name, const TLineList& lines,
                const TJudgedPage* judged) {
    if (!IsUsableName(name)) ThrowCannotCreate(file);
    const std::optional<TPagePlace> place = folder.Place(name);
    if (!place) ThrowCannotCreate(file);
    const TJudgedPage there = place->status ? TJudgedPage(StampOf(*place->status)) : std::nullopt;
    const TJudgedPage expected = judged != nullptr ? *judged : there;
    if (there != expected) ThrowReplaced(file);
    // A page its owner made read-only stays as it is, as it would if it were
    // truncated in place.
    const int at = place->folder.Get();
    if (there && faccessat(at, place->name.c_str(), W_OK, AT_EACCESS) != 0) ThrowCannotCreate(file);

    TTempFile temp(at);
    if (!temp.Create()) {
        if (!there || !FolderRefusesNewFiles(errno)) ThrowCannotCreate(file);
        SaveInPlace(file, *place, *there, lines);
        struct stat written {};
        if (fstatat(at, place->name.c_str(), &written, AT_SYMLINK_NOFOLLOW) != 0) ThrowWriteError(file);
        return StampOf(written);
    }
    if (there) {
        fchmod(temp.Descriptor(), place->status->st_mode & 07777);
        if (geteuid() == 0) (void)!fchown(temp.Descriptor(), place->status->st_uid, place->status->st_gid);
    } else {
        fchmod(temp.Descriptor(), NewFileMode());
    }
    if (!WriteAndFlush(temp.Descriptor(), lines.FileBytes())) ThrowWriteError(file);
    struct stat written {};
    if (fstat(temp.Descriptor(), &written) != 0 || !temp.Close()) ThrowWriteError(file);
    // Looked at once more just before the rename: a page swapped meanwhile
    // stays. One swapped in the instant after is replaced by the rename, not
    // written through, so nothing outside the name can be harmed.
    if (BetweenJudgingAndWriting) BetweenJudgingAndWriting(place->name);
    if (!StillAsJudged(*place, expected)) ThrowReplaced(file);
    if (!temp.RenameTo(place->name, there.has_value())) {
        if (errno == EEXIST) ThrowReplaced(file);
        ThrowCannotCreate(file);
    }
    SyncFolder(at);
    // Taken at once, so that what another program writes after it counts
    // as changed; the rename itself moved the change time.
    struct stat renamed {};
    if (fstatat(at, place->name.c_str(), &renamed, AT_SYMLINK_NOFOLLOW) == 0 && renamed.st_ino == written.st_ino &&
        renamed.st_dev == written.st_dev)
        return StampOf(renamed);
    return StampOf(written);
}

std::optional<TPagePlace> PlaceOf(const TPageFolder& folder, std::string_view name) {
    return IsUsableName(name) ? folder.Place(name) : std::nullopt;
}

}  // namespace

TFileStamp StampOf(const struct stat& status) {
    constexpr std::int64_t kNano = 1'000'000'000;
    return TFileStamp{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                      static_cast<std::int64_t>(status.st_size), status.st_mtim.tv_sec * kNano + status.st_mtim.tv_nsec,
                      status.st_ctim.tv_sec * kNano + status.st_ctim.tv_nsec};
}

TFileStamp SavePage(const TPageFolder& folder, std::string_view name, const TLineList& lines, const TJudgedPage& judged,
                    std::string_view shown) {
    const TNamedFile file{shown.empty() ? PrintableName(name) : std::string(shown)};
    return Save(file, folder, name, lines, &judged);
}

TJudgedPage LookAtPage(const TPageFolder& folder, std::string_view name) {
    const std::optional<TPagePlace> place = PlaceOf(folder, name);
    if (!place || !place->status) return std::nullopt;
    return StampOf(*place->status);
}

TReadPageFile ReadPossiblePage(const TPageFolder& folder, std::string_view name) {
    const TNamedFile file{PrintableName(name)};
    const std::optional<TPagePlace> place = PlaceOf(folder, name);
    if (!place || !place->status) ThrowCannotOpen(file);
    struct stat status {};
    const TOpenFile fd = OpenRegularFile(file, place->folder.Get(), place->name.c_str(), status);
    TReadPageFile read;
    read.stamp = StampOf(status);
    read.bytes = ReadPossiblePageFrom(file, fd.Get(), status);
    return read;
}

std::string PageFileName(const TPageDescription& page) {
    return page.FileBaseName + (page.LongExtension ? ".html" : ".htm");
}

void SavePageLines(const std::string& fileName, const TLineList& lines) {
    const TNamedFile file{fileName, false};
    if (!IsUsableName(fileName)) ThrowCannotCreate(file);
    const auto [folder, name] = SplitName(AnsiToUtf8(fileName));
    Save(file, TPageFolder(folder), name, lines, nullptr);
}

bool IsExistingFile(const std::string& fileName) {
    return IsUsableName(fileName) && IsRegularFile(AnsiToUtf8(fileName));
}

std::string ReadPageFile(const std::string& fileName) {
    const TNamedFile file{fileName, false};
    if (!IsUsableName(fileName)) ThrowCannotOpen(file);
    struct stat status {};
    const TOpenFile fd = OpenRegularFile(file, AT_FDCWD, AnsiToUtf8(fileName).c_str(), status);
    return ReadPossiblePageFrom(file, fd.Get(), status);
}

std::string ReadPossiblePage(const std::filesystem::path& path) {
    const TNamedFile file{path.string()};
    if (!IsUsableName(file.shown)) ThrowCannotOpen(file);
    struct stat status {};
    const TOpenFile fd = OpenRegularFile(file, AT_FDCWD, path.c_str(), status);
    return ReadPossiblePageFrom(file, fd.Get(), status);
}

std::filesystem::path PageCopyPath(const TPageFolder& folder, std::string_view name) {
    const std::optional<TPagePlace> place = PlaceOf(folder, name);
    return place ? std::filesystem::path(CopyPath(*place)) : std::filesystem::path();
}

std::filesystem::path LeftPageCopy(const TPageFolder& folder, std::string_view name) {
    const std::filesystem::path copy = PageCopyPath(folder, name);
    return !copy.empty() && IsRegularFile(copy.string()) ? copy : std::filesystem::path();
}

void RestorePageCopy(const TPageFolder& folder, std::string_view name, const TJudgedPage& judged) {
    const std::optional<TPagePlace> place = PlaceOf(folder, name);
    const std::string shown = PrintableName(name);
    if (!place || !place->status || !judged) throw TPathFileError("Cannot create file " + shown);
    const std::string copy = CopyPath(*place);
    const TOpenFile page = OpenJudgedPage(TNamedFile{shown}, *place, *judged, O_WRONLY);
    if (!WriteCopyBack(copy, page.Get())) throw TPathFileError("Cannot create file " + shown);
    DropCopy(copy);
}

void DiscardPageCopy(const TPageFolder& folder, std::string_view name) {
    if (const std::filesystem::path copy = PageCopyPath(folder, name); !copy.empty()) DropCopy(copy.string());
}

}  // namespace core
