#include "transfer/file_digest.h"

#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "core/system_calls.h"
#include "transfer/publish.h"

namespace transfer {
namespace {

struct TFreeDigest {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using TDigestContext = std::unique_ptr<EVP_MD_CTX, TFreeDigest>;

TDigestContext NewSha256() {
    TDigestContext context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        throw TTransferError(TFault::NoSha256);
    return context;
}

std::string FinishHex(EVP_MD_CTX* context) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

}  // namespace

TFileDigest DigestFile(int file, const std::string& name) {
    TDigestContext context = NewSha256();
    TFileDigest result;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = core::RetryInterrupted(
            [&] { return pread(file, buffer.data(), buffer.size(), static_cast<off_t>(result.size)); });
        if (got < 0) throw TTransferError(TFault::FileNotReadWhole, name);
        if (got == 0) break;
        EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got));
        result.size += static_cast<std::uint64_t>(got);
    }
    result.sha256 = FinishHex(context.get());
    return result;
}

TFileStamp StampFile(int file, const std::string& name) {
    struct stat status {};
    if (fstat(file, &status) != 0) throw TTransferError(TFault::FileNotRead, name);
    return StampOf(status);
}

TFileStamp StampOf(const struct stat& status) {
    constexpr std::int64_t kBillion = 1000000000;
    const std::int64_t modified = std::int64_t{status.st_mtim.tv_sec} * kBillion + status.st_mtim.tv_nsec;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const bool settled = modified < (std::int64_t{now.tv_sec} - 2) * kBillion + now.tv_nsec;
    return {static_cast<std::uint64_t>(status.st_size), settled ? modified : 0};
}

std::optional<std::string> ReadOpenFile(int file, std::size_t most) {
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < most) {
        const std::size_t want = std::min(sizeof buffer, most - bytes.size());
        const ssize_t got =
            core::RetryInterrupted([&] { return pread(file, buffer, want, static_cast<off_t>(bytes.size())); });
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::string Sha256Hex(const std::string& bytes) {
    TDigestContext context = NewSha256();
    EVP_DigestUpdate(context.get(), bytes.data(), bytes.size());
    return FinishHex(context.get());
}

}  // namespace transfer
