#pragma once

// What the server fixtures share: a free loopback port, a server process
// started without a shell and stopped by its process id, and commands run to
// make throwaway keys.

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreeLoopbackPort();

// Runs the command to its end; its output goes to the test's output.
// Returns the exit status (-1 when it could not be run).
int RunCommand(const std::vector<std::string>& arguments);

class TServerProcess {
public:
    // Started, and answering on 127.0.0.1:port within a few seconds; throws
    // std::runtime_error otherwise.
    TServerProcess(const std::vector<std::string>& arguments, int port);
    ~TServerProcess();
    TServerProcess(const TServerProcess&) = delete;
    TServerProcess& operator=(const TServerProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Kills every process the server started (its sessions), not the server.
    void KillChildren();
    // Stops them, as a server that hangs: they neither answer nor close.
    // The destructor kills them.
    void StopChildren();

private:
    pid_t pid_ = -1;
};

}  // namespace testsupport
