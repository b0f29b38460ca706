#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace transfer {

struct TFileDigest {
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
};

// Reads the open file from its start, whatever was read of it before;
// throws TTransferError naming `name` when it cannot.
TFileDigest DigestFile(int file, const std::string& name);
// What the file system says of an open file, enough to tell without reading
// it that it is as it was when last read: its size and modification time in
// nanoseconds. The time is 0, unknown, for a file changed in the last two
// seconds: a change within the same tick of a coarse clock (two seconds on
// FAT) would leave the time as it is. Throws TTransferError naming `name`.
struct TFileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};
TFileStamp StampFile(int file, const std::string& name);
// The same of what a look at the file said.
TFileStamp StampOf(const struct stat& status);
// Up to `most` bytes of the open file from its start, whatever was read of
// it before; nullopt when a read fails.
std::optional<std::string> ReadOpenFile(int file, std::size_t most = std::numeric_limits<std::size_t>::max());
// Lower-case hex SHA-256 of the bytes.
std::string Sha256Hex(const std::string& bytes);

}  // namespace transfer
