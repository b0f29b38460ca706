#include "core/folder_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/system_calls.h"

namespace core {
namespace {

constexpr std::size_t kLongestSegment = 255;
// As many as the kernel follows before it gives up (ELOOP).
constexpr int kMostLinks = 40;

// Whether `test` holds for any segment between the slashes.
template <typename TTest>
bool AnySegment(std::string_view name, TTest test) {
    for (;;) {
        const std::size_t slash = name.find('/');
        if (test(name.substr(0, slash))) return true;
        if (slash == std::string_view::npos) return false;
        name.remove_prefix(slash + 1);
    }
}

// How many bytes from `at` make a character no message may show as it is.
std::size_t UnprintableLength(std::string_view name, std::size_t at) {
    const auto byte = [&](std::size_t i) { return i < name.size() ? static_cast<unsigned char>(name[i]) : 0u; };
    const unsigned char c = byte(at);
    if (c < 0x20 || c == 0x7f || c == '\\') return 1;
    // U+0080 to U+009F.
    if (c == 0xc2 && byte(at + 1) >= 0x80 && byte(at + 1) <= 0x9f) return 2;
    // U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069: they turn the
    // text that follows around, the rest of a message included.
    if (c == 0xe2 && byte(at + 1) == 0x80 && (byte(at + 2) == 0x8e || byte(at + 2) == 0x8f)) return 3;
    if (c == 0xe2 && byte(at + 1) == 0x80 && byte(at + 2) >= 0xaa && byte(at + 2) <= 0xae) return 3;
    if (c == 0xe2 && byte(at + 1) == 0x81 && byte(at + 2) >= 0xa6 && byte(at + 2) <= 0xa9) return 3;
    return 0;
}

// Puts the segments of `path` in front of those still to walk, which are
// kept last-first.
void PushSegments(std::vector<std::string>& pending, std::string_view path) {
    std::vector<std::string> segments;
    AnySegment(path, [&](std::string_view segment) {
        segments.emplace_back(segment);
        return false;
    });
    pending.insert(pending.end(), segments.rbegin(), segments.rend());
}

// The text of the link `name` in the folder `at`; empty when it cannot be
// read.
std::string LinkText(int at, const std::string& name) {
    std::string text(4096, '\0');
    const ssize_t length = readlinkat(at, name.c_str(), text.data(), text.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) return {};
    text.resize(static_cast<std::size_t>(length));
    return text;
}

TOpenedName Fault(TNameFault fault) {
    TOpenedName opened;
    opened.fault = fault;
    return opened;
}

}  // namespace

bool NamesInsideTheFolder(std::string_view name) {
    return !name.empty() && name.front() != '/' && name != ".." && !name.starts_with("../");
}

bool IsInvalidName(std::string_view name) {
    return AnySegment(name, [](std::string_view segment) {
        return segment.size() > kLongestSegment || std::any_of(segment.begin(), segment.end(), [](char c) {
                   return static_cast<unsigned char>(c) < 0x20 || c == '\\';
               });
    });
}

bool IsHiddenName(std::string_view name) {
    return AnySegment(name, [](std::string_view segment) { return segment.starts_with('.'); });
}

std::string PrintableName(std::string_view name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string printable;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::size_t length = UnprintableLength(name, i);
        if (length == 0) {
            printable += name[i];
            continue;
        }
        for (const char c : name.substr(i, length)) {
            const auto byte = static_cast<unsigned char>(c);
            printable.append(1, '%').append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
        }
        i += length - 1;
    }
    return printable;
}

std::string_view FaultWords(TNameFault fault) {
    switch (fault) {
        case TNameFault::Missing:
            return "(fehlt)";
        case TNameFault::OutsideFolder:
            return "(außerhalb des Ordners)";
        case TNameFault::LinkOutside:
            return "(Verknüpfung nach außerhalb des Ordners)";
        case TNameFault::Hidden:
            return "(versteckte Datei)";
        case TNameFault::Invalid:
            return "(ungültiger Dateiname)";
    }
    return "";
}

TOpenFile& TOpenFile::operator=(TOpenFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

TOpenFile::~TOpenFile() {
    if (fd_ >= 0) close(fd_);
}

TPageFolder::TPageFolder(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(folder, error);
    if (error) return;
    folder_ = TOpenFile(open(real.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    realPath_ = real.string();
}

// Where a walk ends: the last segment of the name, its status, and the
// folder it is in, held open.
struct TPageFolder::TWalk {
    std::vector<TOpenFile> below;  // the folders walked into, the current one last
    int at = -1;
    std::string last;
    struct stat status {};
    std::optional<TNameFault> fault;
    bool folder = false;
    // The last segment is not there; `at` and `last` say where it would be.
    bool absent = false;
};

// The name is walked one segment at a time from the folder's descriptor,
// each step looked at and opened with O_NOFOLLOW, and every link on the way
// is read and walked the same way, never handed to the kernel to follow. So
// nothing outside the folder is ever opened, not even for a moment, and a
// link swapped in meanwhile only makes the name fail. openat2's
// RESOLVE_BENEATH would do the walk in one call, but it refuses every
// absolute link, also one into the folder itself, and a sandbox may not
// offer the call at all.
TPageFolder::TWalk TPageFolder::Walk(std::string_view name, bool pageFile, TSpelling spelling) const {
    TWalk walk;
    const auto fault = [&](TNameFault why) {
        walk.fault = why;
        return std::move(walk);
    };
    if (spelling == TSpelling::Judged && IsInvalidName(name)) return fault(TNameFault::Invalid);
    if (!NamesInsideTheFolder(name)) return fault(TNameFault::OutsideFolder);
    if (!pageFile && IsHiddenName(name)) return fault(TNameFault::Hidden);
    if (!folder_) return fault(TNameFault::Missing);
    std::vector<std::string> pending;
    PushSegments(pending, name);
    int links = 0;
    while (!pending.empty()) {
        const std::string segment = std::move(pending.back());
        pending.pop_back();
        if (segment.empty() || segment == ".") continue;
        if (segment == "..") {
            if (walk.below.empty()) return fault(links > 0 ? TNameFault::LinkOutside : TNameFault::OutsideFolder);
            walk.below.pop_back();
            continue;
        }
        // Also where a link leads: bild.jpg → .privat/notiz.jpg is hidden.
        if (!pageFile && segment.front() == '.') return fault(TNameFault::Hidden);
        const int at = walk.below.empty() ? folder_.Get() : walk.below.back().Get();
        struct stat status {};
        if (fstatat(at, segment.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT && pending.empty()) {
                walk.at = at;
                walk.last = segment;
                walk.absent = true;
            }
            return fault(TNameFault::Missing);
        }
        if (S_ISLNK(status.st_mode)) {
            std::string target = LinkText(at, segment);
            if (++links > kMostLinks || target.empty()) return fault(TNameFault::Missing);
            if (target.front() == '/') {
                // An absolute link stays inside only through the folder's
                // own path, as it is spelled now.
                const bool root = realPath_ == "/";
                if (!root && target != realPath_ && !target.starts_with(realPath_ + "/"))
                    return fault(TNameFault::LinkOutside);
                target.erase(0, root ? 0 : realPath_.size());
                walk.below.clear();
            }
            PushSegments(pending, target);
            continue;
        }
        if (S_ISDIR(status.st_mode)) {
            // A link swapped in since the look is refused here.
            TOpenFile step(RetryInterrupted(
                [&] { return openat(at, segment.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC); }));
            if (!step) return fault(TNameFault::Missing);
            walk.below.push_back(std::move(step));
            continue;
        }
        // Only a regular file, and only at the end of the name.
        if (!pending.empty() || !S_ISREG(status.st_mode)) return fault(TNameFault::Missing);
        walk.at = at;
        walk.last = segment;
        walk.status = status;
        return walk;
    }
    walk.folder = true;
    return walk;
}

// The file itself is opened for reading only once it is known to be a
// regular file, so that a pipe or a device is never opened, and only when
// it is still the same file then.
TOpenedName TPageFolder::Open(std::string_view name, bool pageFile) const {
    const TWalk walk = Walk(name, pageFile);
    if (walk.fault || walk.folder) return TOpenedName{TOpenFile(), walk.fault, walk.folder};
    TOpenFile file(RetryInterrupted(
        [&] { return openat(walk.at, walk.last.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC); }));
    struct stat now {};
    if (!file || fstat(file.Get(), &now) != 0 || now.st_dev != walk.status.st_dev || now.st_ino != walk.status.st_ino)
        return Fault(TNameFault::Missing);
    return TOpenedName{std::move(file), std::nullopt, false};
}

TLookedName TPageFolder::Look(std::string_view name, bool pageFile) const {
    const TWalk walk = Walk(name, pageFile);
    return TLookedName{walk.status, walk.fault, walk.folder};
}

std::optional<TPagePlace> TPageFolder::Place(std::string_view name) const {
    TWalk walk = Walk(name, true, TSpelling::Any);
    if (walk.at < 0 || (walk.fault && !walk.absent)) return std::nullopt;
    TPagePlace place{Keep(walk), walk.last, std::nullopt};
    if (!place.folder) return std::nullopt;
    if (!walk.absent) place.status = walk.status;
    return place;
}

std::vector<std::string> TPageFolder::RegularFiles() const {
    std::vector<std::string> names;
    if (!folder_) return names;
    const int fd = openat(folder_.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = fd >= 0 ? fdopendir(fd) : nullptr;
    if (listing == nullptr) {
        if (fd >= 0) close(fd);
        return names;
    }
    while (const dirent* entry = readdir(listing)) {
        struct stat status {};
        const bool regular =
            entry->d_type == DT_UNKNOWN
                ? fstatat(dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode)
                : entry->d_type == DT_REG;
        if (regular) names.emplace_back(entry->d_name);
    }
    closedir(listing);
    std::sort(names.begin(), names.end());
    return names;
}

TOpenFile TPageFolder::Keep(TWalk& walk) const {
    if (!walk.below.empty()) return std::move(walk.below.back());
    return TOpenFile(fcntl(folder_.Get(), F_DUPFD_CLOEXEC, 0));
}

}  // namespace core
