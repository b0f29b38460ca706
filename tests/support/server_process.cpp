#include "support/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testsupport {
namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Answers(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// A server's output goes to /dev/null (it logs to a file): a session it
// leaves behind must not hold the test's output open.
pid_t Spawn(const std::vector<std::string>& arguments, bool quiet) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet)
        for (const int fd : {0, 1, 2}) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
    pid_t pid = -1;
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? pid : -1;
}

// Every descendant of the process, children before their own children.
std::vector<pid_t> Descendants(pid_t parent) {
    std::vector<pid_t> found;
    std::ifstream children("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children");
    for (pid_t child; children >> child;) {
        found.push_back(child);
        for (const pid_t grandchild : Descendants(child)) found.push_back(grandchild);
    }
    return found;
}

}  // namespace

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    close(fd);
    return ntohs(address.sin_port);
}

int RunCommand(const std::vector<std::string>& arguments) {
    const pid_t pid = Spawn(arguments, false);
    if (pid < 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TServerProcess::TServerProcess(const std::vector<std::string>& arguments, int port) {
    pid_ = Spawn(arguments, true);
    if (pid_ < 0) throw std::runtime_error("cannot start " + arguments.front());
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (Answers(port)) return;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error(arguments.front() + " ended before it answered");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    throw std::runtime_error(arguments.front() + " does not answer on port " + std::to_string(port));
}

TServerProcess::~TServerProcess() {
    if (pid_ < 0) return;
    KillChildren();
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

void TServerProcess::KillChildren() {
    for (const pid_t child : Descendants(pid_)) kill(child, SIGKILL);
}

void TServerProcess::StopChildren() {
    for (const pid_t child : Descendants(pid_)) kill(child, SIGSTOP);
}

}  // namespace testsupport
