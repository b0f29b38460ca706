#include "core/page_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "core/ansi_text.h"

namespace core {
namespace {

[[noreturn]] void ThrowCannotCreate(const std::string& fileName) {
    throw TPageFileError("Cannot create file " + fileName);
}

[[noreturn]] void ThrowWriteError() {
    throw TPageFileError("Stream write error");
}

bool WriteBlock(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The page goes out in pieces of this size rather than in one write: each
// piece is handed to the disk as soon as it is written, so the final flush
// finds most of the page already there.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// Writes the page's bytes; false when a write fails or falls short.
bool WriteLines(int fd, const TLineList& lines) {
    const std::string_view bytes = lines.FileBytes();
    for (std::size_t offset = 0; offset < bytes.size(); offset += kPieceSize) {
        const std::size_t size = std::min(kPieceSize, bytes.size() - offset);
        if (!WriteBlock(fd, bytes.data() + offset, size)) return false;
        // Only a hint to start writing back; fsync reports any error.
        sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
    }
    return true;
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

std::string RandomTempName(const std::string& directory) {
    unsigned char random[8] = {};
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // Without the kernel's randomness the exclusive create still guards
        // against collisions; the counter makes each new attempt another name.
        static std::uint64_t attempts = 0;
        const std::uint64_t seed = (static_cast<std::uint64_t>(getpid()) << 32) ^
                                   static_cast<std::uint64_t>(time(nullptr)) ^ (++attempts * 0x9E3779B97F4A7C15u);
        for (std::size_t i = 0; i < sizeof random; ++i) random[i] = static_cast<unsigned char>(seed >> (i * 8));
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name = directory + "/.tavirel-";
    for (unsigned char byte : random) {
        name += kHex[byte >> 4];
        name += kHex[byte & 15];
    }
    return name + ".tmp";
}

// Repeats a system call that a signal cut short.
template <typename Call>
auto RetryInterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) return result;
    }
}

// File systems and kernels without unnamed files answer with one of these.
bool UnnamedFilesUnsupported(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Linking an unnamed file needs /proc or, on older kernels, a privilege.
bool UnnamedFileUnlinkable(int error) {
    return error == ENOENT || error == EPERM;
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The new page is written beside the old one under a hidden name and then
// renamed over it, so a failed or interrupted save never tears the page.
class TTempFile {
public:
    explicit TTempFile(const std::string& directory) : directory_(directory) {}
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile() { Discard(); }

    // An unnamed file leaves nothing behind if the process dies mid-write.
    bool OpenUnnamed() {
        fd_ = RetryInterrupted([this] { return open(directory_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); });
        return fd_ >= 0;
    }

    bool OpenNamed() {
        for (int attempt = 0; attempt < 8 && fd_ < 0; ++attempt) {
            const std::string name = RandomTempName(directory_);
            fd_ =
                RetryInterrupted([&name] { return open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666); });
            if (fd_ >= 0)
                name_ = name;
            else if (errno != EEXIST)
                return false;
        }
        return fd_ >= 0;
    }

    void KeepModeOf(const struct stat& old) {
        fchmod(fd_, old.st_mode & 07777);
        if (geteuid() == 0) (void)!fchown(fd_, old.st_uid, old.st_gid);
    }

    bool WriteAll(const TLineList& lines) {
        return WriteLines(fd_, lines) && RetryInterrupted([this] { return fsync(fd_); }) == 0;
    }

    // Gives an unnamed file its hidden name so that it can be renamed;
    // false with errno set when it cannot.
    bool Link() {
        if (!name_.empty()) return true;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const std::string name = RandomTempName(directory_);
            if (LinkAs(name)) {
                name_ = name;
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

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
    bool LinkAs(const std::string& name) {
        const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
        if (RetryInterrupted(
                [&] { return linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW); }) == 0)
            return true;
        if (errno != ENOENT) return false;
        // Without /proc the kernel may still link the descriptor itself.
        return RetryInterrupted([&] { return linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH); }) == 0;
    }

    std::string directory_;
    std::string name_;
    int fd_ = -1;
};

void SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::string PageFileName(const TPageDescription& page) {
    return page.FileBaseName + (page.LongExtension ? ".html" : ".htm");
}

void SavePageLines(const std::string& fileName, const TLineList& lines) {
    // A NUL would silently cut the name short and write somewhere else.
    if (fileName.empty() || fileName.find('\0') != std::string::npos) ThrowCannotCreate(fileName);
    const std::string target = FollowLinks(AnsiToUtf8(fileName));
    const std::string directory = DirectoryOf(target);

    struct stat old {};
    const bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) ThrowCannotCreate(fileName);
    // A link that never reaches a file (a loop, an endless chain) stays a link.
    if (!replacing && IsLink(target)) ThrowCannotCreate(fileName);
    // A page its owner made read-only stays as it is, as it would if it were
    // truncated in place.
    if (replacing && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) ThrowCannotCreate(fileName);

    TTempFile temp(directory);
    const auto fill = [&] {
        if (replacing) temp.KeepModeOf(old);
        if (!temp.WriteAll(lines)) ThrowWriteError();
    };
    bool named = false;
    if (temp.OpenUnnamed()) {
        fill();
        named = temp.Link();
        if (!named && !UnnamedFileUnlinkable(errno)) ThrowCannotCreate(fileName);
        // The text is written once more, this time under a hidden name.
        if (!named) temp.Discard();
    } else if (!UnnamedFilesUnsupported(errno)) {
        ThrowCannotCreate(fileName);
    }
    if (!named) {
        if (!temp.OpenNamed()) ThrowCannotCreate(fileName);
        fill();
    }
    if (!temp.Close()) ThrowWriteError();
    if (!temp.RenameTo(target)) ThrowCannotCreate(fileName);
    SyncDirectory(directory);
}

}  // namespace core
