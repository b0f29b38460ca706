#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace transfer {

struct TFileDigest {
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
};

// Reads the whole file; throws TTransferError when it cannot.
TFileDigest DigestFile(const std::filesystem::path& file);
// Lower-case hex SHA-256 of the bytes.
std::string Sha256Hex(const std::string& bytes);

}  // namespace transfer
