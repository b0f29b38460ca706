#include "support/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <vector>

namespace testsupport {
namespace {

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, slash - start);
        if (!part.empty() && part != ".") parts.push_back(part);
        start = slash + 1;
    }
    return parts;
}

// A descriptor of the directory, reached one component at a time; -1 when
// it cannot be opened.
int OpenDirectory(const std::string& path, bool create) {
    int fd = open(!path.empty() && path.front() == '/' ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& part : Components(path)) {
        if (fd < 0) return -1;
        if (create) mkdirat(fd, part.c_str(), 0755);
        const int next = openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(fd);
        fd = next;
    }
    return fd;
}

// The file in its directory, opened with these flags; -1 when it cannot be.
int OpenFile(const std::string& path, int flags) {
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int dir = OpenDirectory(directory, false);
    if (dir < 0) return -1;
    const int fd = openat(dir, path.substr(slash + 1).c_str(), flags | O_CLOEXEC, 0644);
    close(dir);
    return fd;
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
    const int fd = OpenFile(path, O_RDONLY);
    if (fd < 0) return "<missing>";
    std::string bytes = ReadAllFrom(fd);
    close(fd);
    return bytes;
}

std::string ReadAllFrom(int fd) {
    std::string bytes;
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool WriteAllTo(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    const int fd = OpenFile(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) return false;
    const bool written = WriteAllTo(fd, bytes);
    return close(fd) == 0 && written;
}

bool MakeDirectories(const std::string& path) {
    const int fd = OpenDirectory(path, true);
    if (fd < 0) return false;
    close(fd);
    return true;
}

std::string DirectoryListing(const std::string& path) {
    const int fd = OpenDirectory(path, false);
    if (fd < 0) return "<missing>";
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return "<missing>";
    }
    std::set<std::string> entries;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW);
        if (S_ISDIR(st.st_mode)) {
            entries.insert(name + "/");
        } else if (S_ISLNK(st.st_mode)) {
            char target[PATH_MAX] = {};
            const ssize_t length = readlinkat(fd, name.c_str(), target, sizeof target - 1);
            entries.insert(name + " -> " + std::string(target, length > 0 ? static_cast<std::size_t>(length) : 0));
        } else {
            entries.insert(name);
        }
    }
    closedir(dir);
    std::string listing;
    for (const std::string& entry : entries) listing += entry + "\n";
    return listing;
}

TScratchFolder::TScratchFolder(const std::string& what) : path_("/tmp/tavirel-" + what + "-XXXXXX") {
    if (mkdtemp(path_.data()) == nullptr) throw std::runtime_error("no temporary folder");
}

TScratchFolder::~TScratchFolder() {
    // rm walks trees deeper than PATH_MAX; chmod first for read-only folders.
    const int status = std::system(("chmod -R u+rwX '" + path_ + "' && rm -rf '" + path_ + "'").c_str());
    if (status != 0) std::abort();
}

TWorkDir::TWorkDir() {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr || chdir(folder_.path().c_str()) != 0)
        throw std::runtime_error("no temporary working directory");
    old_ = cwd;
}

TWorkDir::~TWorkDir() {
    if (chdir(old_.c_str()) != 0) std::abort();
}

}  // namespace testsupport
