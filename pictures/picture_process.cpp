#include "pictures/picture_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "core/system_calls.h"

namespace pictures {

std::optional<TPictureProcessSeam> PictureProcessForTests;

namespace {

// A 12-megapixel photo takes a quarter of a second; one that takes this
// long is stuck.
constexpr std::chrono::seconds kMostWait{60};
// A web copy is never larger than this; more is a broken process.
constexpr std::size_t kMostReport = (256 << 20) + 4096;

struct TPipe {
    int read = -1, write = -1;
    ~TPipe() {
        if (read >= 0) close(read);
        if (write >= 0) close(write);
    }
};

std::optional<pid_t> Start(int file, int report, int longestSide, bool preview) {
    const std::string program =
        PictureProcessForTests ? PictureProcessForTests->program.string() : PictureProgram().string();
    const std::string side = std::to_string(longestSide);
    std::string mode = "vorschau";
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, file, 0);
    posix_spawn_file_actions_adddup2(&actions, report, 1);
#if !defined(__SANITIZE_ADDRESS__)
    // The sanitizer build lets its reports reach the test's output.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
#endif
    // Nothing else of the program's reaches it.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char* arguments[] = {const_cast<char*>(program.c_str()), const_cast<char*>(side.c_str()),
                         preview ? mode.data() : nullptr, nullptr};
    char* environment[] = {nullptr};
    pid_t child = 0;
    const int failed = posix_spawn(&child, program.c_str(), &actions, &attributes, arguments, environment);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) return std::nullopt;
    return child;
}

using TClock = std::chrono::steady_clock;

// Waits for `descriptor` to be ready until the deadline; false when it passed.
bool WaitFor(int descriptor, TClock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
        if (left.count() <= 0) return false;
        pollfd waiting{descriptor, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// Everything the process writes until it closes its end, within the time
// and the size; nullopt when it overran either.
std::optional<std::string> ReadReport(int report, TClock::time_point deadline) {
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        if (!WaitFor(report, deadline)) return std::nullopt;
        const ssize_t got = core::RetryInterrupted([&] { return read(report, buffer, sizeof buffer); });
        if (got < 0) return std::nullopt;
        if (got == 0) return bytes;
        if (bytes.size() + static_cast<std::size_t>(got) > kMostReport) return std::nullopt;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// Whether the process ended by itself, well, before the deadline; ended
// by force otherwise.
bool EndedWell(pid_t child, bool waitForIt, TClock::time_point deadline) {
    const int process = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    const bool ended = waitForIt && process >= 0 && WaitFor(process, deadline);
    if (process >= 0) close(process);
    if (!ended) kill(child, SIGKILL);
    int status = 0;
    if (core::RetryInterrupted([&] { return waitpid(child, &status, 0); }) != child) return false;
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<TWebPicture> RunApart(int file, int longestSide, bool preview) {
    TPipe pipe;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
    pipe.read = ends[0];
    pipe.write = ends[1];
    const std::optional<pid_t> child = Start(file, pipe.write, longestSide, preview);
    close(pipe.write);
    pipe.write = -1;
    if (!child) return std::nullopt;
    const TClock::time_point deadline =
        TClock::now() + (PictureProcessForTests ? PictureProcessForTests->wait
                                                : std::chrono::duration_cast<std::chrono::milliseconds>(kMostWait));
    const std::optional<std::string> report = ReadReport(pipe.read, deadline);
    if (!EndedWell(*child, report.has_value(), deadline) || !report) return std::nullopt;
    return PictureFromReport(*report);
}

}  // namespace

std::filesystem::path PictureProgram() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return self.parent_path() / ".." / "lib" / "tavirel" / "tavirel_picture";
}

std::optional<TWebPicture> RebuildApart(int file, int longestSide) {
    return RunApart(file, longestSide, false);
}

std::optional<TWebPicture> PreviewApart(int file, int previewSide) {
    std::optional<TWebPicture> preview = RunApart(file, previewSide, true);
    if (!preview || preview->width > previewSide || preview->height > previewSide ||
        preview->bytes.size() != static_cast<std::size_t>(preview->width) * preview->height * 4)
        return std::nullopt;
    return preview;
}

}  // namespace pictures
