#pragma once

#include <cstdint>
#include <string>

namespace transfer {

struct TFileDigest {
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
};

// Reads the open file from its start, whatever was read of it before;
// throws TTransferError naming `name` when it cannot.
TFileDigest DigestFile(int file, const std::string& name);
// Lower-case hex SHA-256 of the bytes.
std::string Sha256Hex(const std::string& bytes);

}  // namespace transfer
