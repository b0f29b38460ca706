#pragma once

// The few system-call helpers the file functions share.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <functional>
#include <string_view>

namespace core {

// Repeats a system call that a signal cut short.
template <typename Call>
auto RetryInterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) return result;
    }
}

// False when a write fails or falls short.
inline bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = RetryInterrupted([&] { return write(fd, bytes.data(), bytes.size()); });
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A new file gets the mode open(..., 0666) would give it, not the 0600 of a
// temporary file. The mask can only be read by setting it; the program
// creates files from one thread, so nothing sees the moment without it.
inline mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Called with the page's name between the last look that judged a page
// and the call that writes it, where another program could swap the page
// for a link. Tests set it to be that program; the program never does.
extern std::function<void(std::string_view name)> BetweenJudgingAndWriting;

}  // namespace core
