#include "page_file_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

#include "core/page_file.h"

namespace page_file_support {
namespace {

std::string ErrorText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

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

struct TSplitPath {
    std::string directory;
    std::string leaf;
};

TSplitPath Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool WriteWhole(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReadAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = WriteWhole(fd, text);
    close(fd);
    return written;
}

}  // namespace

std::string ReadBytes(const std::string& path) {
    const TSplitPath split = Split(path);
    const int dir = OpenDirectory(split.directory, false);
    if (dir < 0) return "<missing>";
    const int fd = openat(dir, split.leaf.c_str(), O_RDONLY | O_CLOEXEC);
    close(dir);
    if (fd < 0) return "<missing>";
    std::string bytes = ReadAll(fd);
    close(fd);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    const TSplitPath split = Split(path);
    const int dir = OpenDirectory(split.directory, false);
    ASSERT_GE(dir, 0) << path;
    const int fd = openat(dir, split.leaf.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    close(dir);
    ASSERT_GE(fd, 0) << path;
    EXPECT_TRUE(WriteWhole(fd, bytes)) << path;
    close(fd);
}

void MakeDirectories(const std::string& path) {
    const int fd = OpenDirectory(path, true);
    ASSERT_GE(fd, 0) << path;
    close(fd);
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

std::string PageBytes(const core::TLineList& lines) {
    std::string bytes;
    for (const std::string_view line : lines) bytes.append(line).append("\r\n");
    return bytes;
}

std::string SaveError(const std::string& name, const core::TLineList& lines) {
    try {
        core::SavePageLines(name, lines);
    } catch (const core::TPageFileError& error) {
        return error.what();
    }
    return kSaved;
}

std::string RunInChild(const std::function<std::string()>& body) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return "<child not started: pipe>";
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return "<child not started: fork>";
    }
    if (child == 0) {
        close(fds[0]);
        std::string result;
        try {
            result = body();
        } catch (const std::exception& error) {
            result = std::string("<child threw: ") + error.what() + ">";
        } catch (...) {
            result = "<child threw>";
        }
        WriteWhole(fds[1], result);
        // No exit handlers: the parent's test framework state is not ours.
        _exit(0);
    }
    close(fds[1]);
    std::string result = ReadAll(fds[0]);
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) return "<child killed by signal " + std::to_string(WTERMSIG(status)) + ">";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "<child failed>";
    return result;
}

std::string Pack(const std::vector<std::string>& fields) {
    std::string packed;
    for (const std::string& field : fields) packed += std::to_string(field.size()) + ":" + field;
    return packed;
}

std::vector<std::string> Unpack(const std::string& packed) {
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < packed.size()) {
        const std::size_t colon = packed.find(':', pos);
        if (colon == std::string::npos) break;
        const std::size_t length = std::strtoul(packed.substr(pos, colon - pos).c_str(), nullptr, 10);
        fields.push_back(packed.substr(colon + 1, length));
        pos = colon + 1 + length;
    }
    return fields;
}

std::string DropPrivileges() {
    if (geteuid() != 0) return "";
    if (setgroups(0, nullptr) != 0) return ErrorText("setgroups");
    if (setgid(kNobody) != 0) return ErrorText("setgid");
    if (setuid(kNobody) != 0) return ErrorText("setuid");
    if (geteuid() != kNobody) return "still privileged after setuid";
    return "";
}

void GiveToNobody(const std::string& path) {
    if (geteuid() == 0) {
        EXPECT_EQ(lchown(path.c_str(), kNobody, kNobody), 0) << path;
    }
}

std::string EnterPrivateMountNamespace() {
    if (unshare(CLONE_NEWNS) != 0) {
        // Unprivileged users may still own a user namespace with mounts of its own.
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return ErrorText("unshare");
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return ErrorText("user namespace maps");
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return ErrorText("mount --make-rprivate /");
    return "";
}

std::string MountTmpfs(const std::string& directory, const std::string& options) {
    if (mount("tmpfs", directory.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
        return ErrorText("mount tmpfs");
    return "";
}

std::string RefuseSystemCall(long number, unsigned argument, unsigned flag, int error) {
#if defined(__x86_64__)
    // The low half of a 64-bit argument, on a little-endian machine.
    const auto argumentOffset = static_cast<unsigned>(offsetof(seccomp_data, args) + argument * sizeof(std::uint64_t));
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<unsigned>(offsetof(seccomp_data, arch))),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<unsigned>(offsetof(seccomp_data, nr))),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(number), 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, argumentOffset),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, flag, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return ErrorText("PR_SET_NO_NEW_PRIVS");
    if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) return ErrorText("seccomp filter");
    return "";
#else
    (void)number;
    (void)argument;
    (void)flag;
    (void)error;
    return "system call filters are written for x86-64 only";
#endif
}

void TScratchDirectory::SetUp() {
    char pattern[] = "/tmp/tavirel-page-file-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    oldCwd_ = cwd;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
}

void TScratchDirectory::TearDown() {
    ASSERT_EQ(chdir(oldCwd_.c_str()), 0);
    // Some tests leave directories without write permission behind.
    const int status = std::system(("chmod -R u+rwX '" + dir_ + "' && rm -rf '" + dir_ + "'").c_str());
    EXPECT_EQ(status, 0) << "cannot remove " << dir_;
}

}  // namespace page_file_support
