#include "core/temp_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "core/folder_names.h"
#include "core/system_calls.h"

namespace core {
namespace {

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

}  // namespace

bool TTempFile::Create() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryName();
        fd_ = RetryInterrupted(
            [&] { return openat(folder_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600); });
        if (fd_ >= 0) {
            name_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool TTempFile::Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
}

bool TTempFile::RenameTo(const std::string& target, bool replacing) {
    const unsigned flags = replacing ? 0 : RENAME_NOREPLACE;
    int result = RetryInterrupted([&] { return renameat2(folder_, name_.c_str(), folder_, target.c_str(), flags); });
    // A file system that cannot rename without replacing: a hard link does
    // the same.
    if (result != 0 && flags != 0 && (errno == EINVAL || errno == ENOSYS)) {
        result = linkat(folder_, name_.c_str(), folder_, target.c_str(), 0);
        if (result == 0) unlinkat(folder_, name_.c_str(), 0);
    }
    if (result != 0) return false;
    name_.clear();
    return true;
}

void TTempFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!name_.empty()) unlinkat(folder_, name_.c_str(), 0);
    name_.clear();
}

void SyncFolder(int folder) {
    const TOpenFile fd(openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) fsync(fd.Get());
}

}  // namespace core
