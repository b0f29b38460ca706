#pragma once

// A real FTPS server for the tests: pyftpdlib with explicit TLS and a
// self-signed certificate made for "localhost" by openssl, serving one
// folder to one user on 127.0.0.1 at a free port, stopped by its process id.

#include <memory>
#include <string>

#include "support/files.h"
#include "support/server_process.h"

namespace testsupport {

class TFtpsServer {
public:
    enum class TQuirk {
        None,
        NoMlsd,         // lists only by LIST, as older servers do
        LosesLastByte,  // keeps each file received one byte short, yet confirms it
    };
    // Throws when it does not answer.
    TFtpsServer(const std::string& servedFolder, const std::string& user, const std::string& password,
                TQuirk quirk = TQuirk::None);

    int port() const { return process_->port(); }
    // The certificate's SHA-256 as openssl prints it ("AB:CD:…").
    std::string Fingerprint() const;
    // Every command the server received, one name a line.
    std::string Commands() const;
    // Every password it was sent, one a line.
    std::string Passwords() const;
    // Forgets the commands received so far.
    void ForgetCommands();
    // Ends the server at once, as a lost connection does.
    void Cut();
    // A certificate of its own from now on, as a server that was replaced
    // (or an attacker in its place) would show.
    void ChangeCertificate();

private:
    void MakeCertificate();

    TScratchFolder folder_{"ftps"};  // goes after the server process
    std::unique_ptr<TServerProcess> process_;
};

}  // namespace testsupport
