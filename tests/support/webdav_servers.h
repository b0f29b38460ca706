#pragma once

// Real WebDAV servers for the tests on 127.0.0.1 at a free port, each with a
// configuration of its own, stopped by its process id: Debian's Apache with
// mod_dav_fs, as hosting companies run it, over TLS with a throwaway
// self-signed certificate and Basic authentication; and `rclone serve
// webdav` over plain HTTP on the loopback.

#include <memory>
#include <string>

#include "support/files.h"
#include "support/server_process.h"

namespace testsupport {

class TApacheWebDavServer {
public:
    // Serves its own folder at https://127.0.0.1:port/webdav/. Throws when
    // it does not answer.
    TApacheWebDavServer(const std::string& user, const std::string& password);
    // Killed: an Apache still starting up may miss a request to stop.
    ~TApacheWebDavServer() { Cut(); }
    int port() const { return process_->port(); }
    std::string Address() const { return "https://127.0.0.1:" + std::to_string(port()) + "/webdav/"; }
    // The folder it serves.
    std::string Folder() const { return folder_.path() + "/served"; }
    // The certificate's SHA-256 as openssl prints it ("AB:CD:…").
    std::string Fingerprint() const;
    // Run as root, Apache serves as www-data: what the test put in its
    // folder becomes that user's, as a host's own files are.
    void OwnServedFiles() const;
    // Ends the server at once, as a lost connection does.
    void Cut();
    // Every request it answered, one "METHOD path status" a line.
    std::string Requests() const;

private:
    TScratchFolder folder_{"apache"};  // goes after the server process
    std::unique_ptr<TServerProcess> process_;
};

class TRcloneWebDavServer {
public:
    TRcloneWebDavServer(const std::string& servedFolder, const std::string& user, const std::string& password);
    int port() const { return process_->port(); }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port()) + "/"; }
    void Cut();

private:
    TScratchFolder folder_{"rclone-webdav"};
    std::unique_ptr<TServerProcess> process_;
};

}  // namespace testsupport
