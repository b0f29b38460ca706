#pragma once

// What the server fixtures share: a free loopback port, a server process
// started without a shell and stopped by its process id, and commands run to
// make throwaway keys.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreeLoopbackPort();

// Runs the command to its end; its output goes to the test's output.
// Returns the exit status (-1 when it could not be run).
int RunCommand(const std::vector<std::string>& arguments);

// A self-signed certificate for "localhost" made by openssl, cert.pem and
// key.pem in the folder; throws when openssl cannot.
void MakeThrowawayCertificate(const std::string& folder);
// Its SHA-256 as openssl prints it ("AB:CD:…").
std::string CertificateFingerprint(const std::string& folder);

// A port on 127.0.0.1 that takes every connection and never says a word:
// the kernel accepts into the backlog, and nobody reads or answers.
class TSilentPort {
public:
    TSilentPort();
    ~TSilentPort();
    TSilentPort(const TSilentPort&) = delete;
    TSilentPort& operator=(const TSilentPort&) = delete;
    int port() const { return port_; }
    // Waits until someone calls, at most `seconds`; true when someone did.
    bool AwaitCaller(int seconds) const;

private:
    int fd_ = -1;
    int port_ = 0;
};

class TServerProcess {
public:
    // Started with the arguments made for a free port, and listening there
    // itself within a few seconds; throws std::runtime_error otherwise. A
    // port free a moment ago may be taken by another test first: the server
    // then cannot listen and is started again on another.
    explicit TServerProcess(const std::function<std::vector<std::string>(int port)>& argumentsFor);
    ~TServerProcess();
    TServerProcess(const TServerProcess&) = delete;
    TServerProcess& operator=(const TServerProcess&) = delete;

    pid_t pid() const { return pid_; }
    int port() const { return port_; }
    // Kills every process the server started (its sessions), not the server.
    void KillChildren();
    // Stops them, as a server that hangs: they neither answer nor close.
    // The destructor kills them.
    void StopChildren();

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace testsupport
