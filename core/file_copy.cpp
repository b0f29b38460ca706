#include "core/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "core/page_file.h"
#include "core/system_calls.h"

namespace core {
namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw TPathFileError(message);
}

class TDescriptor {
public:
    explicit TDescriptor(int fd) : fd_(fd) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    int Get() const { return fd_; }
    // False when closing reports a lost write.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

// What went wrong, or nullptr when every byte is copied.
const char* CopyBytes(int from, int to) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = RetryInterrupted([&] { return read(from, buffer, sizeof buffer); });
        if (got < 0) return "Stream read error";
        if (got == 0) return nullptr;
        if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(got)))) return "Stream write error";
    }
}

// Gives the finished copy its name unless that name is taken by then.
// Where the file system cannot rename without replacing, a hard link does
// the same.
int NameWithoutReplacing(const std::string& temp, const std::string& target) {
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (link(temp.c_str(), target.c_str()) != 0) return errno;
    unlink(temp.c_str());
    return 0;
}

}  // namespace

bool CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    const std::string source = from.string();
    const std::string target = to.string();
    const TDescriptor in(RetryInterrupted([&] { return open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); }));
    struct stat st {};
    if (in.Get() < 0 || fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode)) Fail("Cannot open file " + source);

    const std::filesystem::path folder = to.parent_path().empty() ? std::filesystem::path(".") : to.parent_path();
    std::string temp = (folder / ".tavirel-XXXXXX").string();
    TDescriptor out(RetryInterrupted([&] { return mkostemp(temp.data(), O_CLOEXEC); }));
    if (out.Get() < 0) Fail("Cannot create file " + target);
    fchmod(out.Get(), NewFileMode());
    const char* failure = CopyBytes(in.Get(), out.Get());
    if (failure == nullptr && fsync(out.Get()) != 0) failure = "Stream write error";
    if (!out.Close() && failure == nullptr) failure = "Stream write error";
    if (failure != nullptr) {
        unlink(temp.c_str());
        Fail(failure);
    }
    const int error = NameWithoutReplacing(temp, target);
    if (error != 0) unlink(temp.c_str());
    if (error == EEXIST) return false;
    if (error != 0) Fail("Cannot create file " + target);
    return true;
}

bool HaveSameBytes(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(a, error) || !std::filesystem::is_regular_file(b, error)) return false;
    if (std::filesystem::file_size(a, error) != std::filesystem::file_size(b, error) || error) return false;
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) return false;
    return std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
}

}  // namespace core
