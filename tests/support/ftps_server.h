#pragma once

// A real FTPS server for the tests: pyftpdlib with explicit TLS and a
// self-signed certificate made for "localhost" by openssl, serving one
// folder to one user on 127.0.0.1 at a free port, stopped by its process id.

#include <memory>
#include <string>

#include "support/server_process.h"

namespace testsupport {

class TFtpsServer {
public:
    // Throws when it does not answer. Without MLSD, it lists only by LIST.
    TFtpsServer(const std::string& servedFolder, const std::string& user, const std::string& password,
                bool mlsd = true);
    ~TFtpsServer();
    TFtpsServer(const TFtpsServer&) = delete;
    TFtpsServer& operator=(const TFtpsServer&) = delete;

    int port() const { return port_; }
    // The certificate's SHA-256 as openssl prints it ("AB:CD:…").
    std::string Fingerprint() const;
    // Every command this run of the server received, one name a line.
    std::string Commands() const;
    // Started again on the same port with a certificate of its own, as a
    // server that was replaced (or an attacker) would show.
    void ChangeCertificate();

private:
    void MakeCertificate();
    void Start();

    std::string served_, user_, password_;
    bool mlsd_;
    std::string folder_;
    int port_ = 0;
    std::unique_ptr<TServerProcess> process_;
};

}  // namespace testsupport
