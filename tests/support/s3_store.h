#pragma once

// A real S3-compatible store for the tests: s3rver (from the npm registry,
// run by Debian's nodejs, installed by ./scripts/test) on 127.0.0.1 at a
// free port over TLS with a throwaway self-signed certificate, one bucket,
// stopped by its process id. It keeps each object as a file of its own,
// which the tests read as the store's disk. It does not check signatures.

#include <memory>
#include <string>

#include "support/files.h"
#include "support/server_process.h"

namespace testsupport {

class TS3Store {
public:
    static constexpr const char* kBucket = "seite";
    // Throws when it does not answer.
    TS3Store();
    int port() const { return process_->port(); }
    std::string Endpoint() const { return "https://127.0.0.1:" + std::to_string(port()); }
    std::string Fingerprint() const;
    // The objects whose keys start with the prefix, one key a line below it,
    // sorted, as Tree() shows a folder.
    std::string Keys(const std::string& prefix = {}) const;
    // The object's bytes, or "<missing>".
    std::string Object(const std::string& key) const;
    // What it was sent with: "Content-Type | Cache-Control".
    std::string Headers(const std::string& key) const;
    // Where it keeps everything.
    std::string Folder() const { return folder_.path() + "/data"; }
    // Ends the store at once, as a lost connection does.
    void Cut();

private:
    std::string Stored(const std::string& key) const;

    TScratchFolder folder_{"s3rver"};
    std::unique_ptr<TServerProcess> process_;
};

}  // namespace testsupport
