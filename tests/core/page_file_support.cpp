#include "page_file_support.h"

#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

#include "core/file_copy.h"
#include "core/folder_names.h"
#include "core/page_file.h"

namespace page_file_support {
namespace {

std::string ErrorText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = testsupport::WriteAllTo(fd, text);
    close(fd);
    return written;
}

}  // namespace

std::string CopyPathOf(const std::string& page) {
    const std::filesystem::path path(page);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    return core::PageCopyPath(core::TPageFolder(folder), path.filename().string()).string();
}

std::string SaveError(const std::string& name, const core::TLineList& lines) {
    try {
        core::SavePageLines(name, lines);
    } catch (const core::TPageFileError& error) {
        return error.what();
    }
    return kSaved;
}

std::string CopyError(const std::string& from, const std::string& to) {
    try {
        return core::CopyToNewFile(from, to) ? kSaved : kNotCopied;
    } catch (const core::TPageFileError& error) {
        return error.what();
    }
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
        testsupport::WriteAllTo(fds[1], result);
        // No exit handlers: the parent's test framework state is not ours.
        _exit(0);
    }
    close(fds[1]);
    std::string result = testsupport::ReadAllFrom(fds[0]);
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

std::string MakeRootDirectory(const std::string& directory) {
    if (geteuid() != 0) {
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWUSER) != 0) return ErrorText("unshare");
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return ErrorText("user namespace maps");
    }
    if (chroot(directory.c_str()) != 0 || chdir("/") != 0) return ErrorText("chroot");
    return "";
}

std::string RefuseSystemCall(long number, int error) {
    // The architecture is not checked: the tests run where they were built.
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<unsigned>(offsetof(seccomp_data, nr))),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(number), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return ErrorText("PR_SET_NO_NEW_PRIVS");
    if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) return ErrorText("seccomp filter");
    return "";
}

std::string UseStateFolder() {
    char here[PATH_MAX];
    if (getcwd(here, sizeof here) == nullptr || !MakeDirectories("zustand")) return ErrorText("zustand");
    GiveToNobody("zustand");
    return setenv("XDG_STATE_HOME", (std::string(here) + "/zustand").c_str(), 1) == 0 ? "" : ErrorText("setenv");
}

std::string FailCallsOnFile(long call, const std::string& path, int passes, int failures, int error) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return ErrorText("realpath");
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<unsigned>(offsetof(seccomp_data, nr))),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(call), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    // The watcher starts before the filter, which then holds only this
    // thread: starting a thread may itself write (the sanitizers' runtime
    // does), which nobody would answer yet.
    std::promise<int> listener;
    std::thread([ready = listener.get_future(), file = std::string(resolved), passes, failures, error]() mutable {
        const int fd = ready.get();
        int calls = 0;
        while (fd >= 0) {
            seccomp_notif request{};
            if (ioctl(fd, SECCOMP_IOCTL_NOTIF_RECV, &request) != 0) {
                if (errno == EINTR) continue;
                return;
            }
            char link[64];
            char target[PATH_MAX];
            std::snprintf(link, sizeof link, "/proc/%u/fd/%llu", request.pid,
                          static_cast<unsigned long long>(request.data.args[0]));
            const ssize_t length = readlink(link, target, sizeof target);
            const bool watched = length > 0 && std::string(target, static_cast<std::size_t>(length)) == file;
            seccomp_notif_resp response{};
            response.id = request.id;
            const int seen = watched ? calls++ : 0;
            if (watched && seen >= passes && seen - passes < failures)
                response.error = -error;
            else
                response.flags = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
            ioctl(fd, SECCOMP_IOCTL_NOTIF_SEND, &response);
        }
    }).detach();
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        listener.set_value(-1);
        return ErrorText("PR_SET_NO_NEW_PRIVS");
    }
    const long fd = syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_NEW_LISTENER, &program);
    const std::string failure = fd < 0 ? ErrorText("seccomp listener") : "";
    listener.set_value(static_cast<int>(fd));
    return failure;
}

}  // namespace page_file_support
