#pragma once

// Certificates the user trusted although they do not verify (self-signed,
// or made for another name, as shared hosts often have them): one line per
// server in a small file among the program's settings, as a browser keeps
// its exceptions.

#include <filesystem>
#include <string>

namespace transfer {

// The pinned SHA-256 fingerprint for the server ("host:port"); empty when
// none is pinned or the file cannot be read.
std::string PinnedCertificate(const std::filesystem::path& folder, const std::string& server);

// Pins the fingerprint for the server, replacing an earlier one. Throws
// TTransferError when the file cannot be written.
void PinCertificate(const std::filesystem::path& folder, const std::string& server, const std::string& fingerprint);

}  // namespace transfer
