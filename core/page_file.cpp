#include "core/page_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>

#include "core/ansi_text.h"

namespace core {
namespace {

[[noreturn]] void ThrowCannotCreate(const std::string& fileName) {
    throw TPageFileError("Cannot create file " + fileName);
}

[[noreturn]] void ThrowWriteError() { throw TPageFileError("Stream write error"); }

std::string JoinLines(const TLineList& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
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
        // against collisions; the name is merely less surprising.
        const auto seed = static_cast<unsigned long>(getpid()) ^ static_cast<unsigned long>(time(nullptr));
        for (std::size_t i = 0; i < sizeof random; ++i) random[i] = static_cast<unsigned char>(seed >> (i * 4));
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name = directory + "/.tavirel-";
    for (unsigned char byte : random) {
        name += kHex[byte >> 4];
        name += kHex[byte & 15];
    }
    return name + ".tmp";
}

// The new page is written beside the old one under a hidden name and then
// renamed over it, so a failed or interrupted save never tears the page.
class TTempFile {
public:
    explicit TTempFile(const std::string& directory) : directory_(directory) {}
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile() {
        if (fd_ >= 0) close(fd_);
        if (!name_.empty()) unlink(name_.c_str());
    }

    bool Open() {
        // An unnamed file leaves nothing behind if the process dies mid-write.
        fd_ = open(directory_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd_ >= 0) return true;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
        for (int attempt = 0; attempt < 8 && fd_ < 0; ++attempt) {
            const std::string name = RandomTempName(directory_);
            fd_ = open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (fd_ >= 0) name_ = name;
            else if (errno != EEXIST) return false;
        }
        return fd_ >= 0;
    }

    void KeepModeOf(const struct stat& old) {
        fchmod(fd_, old.st_mode & 07777);
        if (geteuid() == 0) (void)!fchown(fd_, old.st_uid, old.st_gid);
    }

    bool WriteAll(const std::string& text) {
        const char* data = text.data();
        std::size_t left = text.size();
        while (left > 0) {
            const ssize_t written = write(fd_, data, left);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return false;
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        return fsync(fd_) == 0;
    }

    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

    // Gives an unnamed file its hidden name so that it can be renamed.
    bool Link() {
        if (!name_.empty()) return true;
        const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 8; ++attempt) {
            const std::string name = RandomTempName(directory_);
            if (linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                name_ = name;
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    bool RenameTo(const std::string& target) {
        if (rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
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
    const std::string text = JoinLines(lines);
    const std::string target = FollowLinks(AnsiToUtf8(fileName));
    const std::string directory = DirectoryOf(target);

    struct stat old {};
    const bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) ThrowCannotCreate(fileName);

    TTempFile temp(directory);
    if (!temp.Open()) ThrowCannotCreate(fileName);
    if (replacing) temp.KeepModeOf(old);
    if (!temp.WriteAll(text)) ThrowWriteError();
    if (!temp.Link()) ThrowCannotCreate(fileName);
    if (!temp.Close()) ThrowWriteError();
    if (!temp.RenameTo(target)) ThrowCannotCreate(fileName);
    SyncDirectory(directory);
}

}  // namespace core
