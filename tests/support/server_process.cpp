#include "support/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
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

// True when the process itself holds the socket listening on
// 127.0.0.1:port, not some other server that took the port first.
bool ListensOn(pid_t pid, int port) {
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);
    std::vector<std::string> sockets;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
        const std::size_t colon = local.find(':');
        if (state == "0A" && colon != std::string::npos && std::stoi(local.substr(colon + 1), nullptr, 16) == port)
            sockets.push_back("socket:[" + inode + "]");
    }
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
        if (std::find(sockets.begin(), sockets.end(), target) != sockets.end()) return true;
    }
    return false;
}

pid_t Spawn(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

// A server ends with the test that started it, even one that dies without
// stopping it (a crash, a sanitizer's abort, ctest's time-out); its output
// goes to /dev/null (it logs to a file). Otherwise it would linger and hold
// ctest's output open.
pid_t SpawnServer(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // Plain system calls only until exec: another thread may have held
        // a lock when the process was copied.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        for (const int fd : {0, 1, 2}) dup2(devNull, fd);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(devNull);
    return pid;
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

void MakeThrowawayCertificate(const std::string& folder) {
    if (RunCommand({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                    "-subj", "/CN=localhost", "-days", "2", "-keyout", folder + "/key.pem", "-out",
                    folder + "/cert.pem"}) != 0)
        throw std::runtime_error("openssl cannot make a certificate");
}

std::string CertificateFingerprint(const std::string& folder) {
    if (RunCommand({"sh", "-c",
                    "openssl x509 -noout -fingerprint -sha256 -in '" + folder + "/cert.pem' > '" + folder +
                        "/fingerprint'"}) != 0)
        throw std::runtime_error("openssl cannot read the certificate");
    std::ifstream in(folder + "/fingerprint");
    std::string line;
    std::getline(in, line);
    line = line.substr(line.find('=') + 1);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

TSilentPort::TSilentPort() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd_, 8) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd_);
        throw std::runtime_error("no silent port on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
}

TSilentPort::~TSilentPort() {
    close(fd_);
}

bool TSilentPort::AwaitCaller(int seconds) const {
    pollfd door{fd_, POLLIN, 0};
    return poll(&door, 1, seconds * 1000) > 0;
}

int RunCommand(const std::vector<std::string>& arguments) {
    const pid_t pid = Spawn(arguments);
    if (pid < 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TServerProcess::TServerProcess(const std::function<std::vector<std::string>(int port)>& argumentsFor) {
    for (int start = 0; start < 5; ++start) {
        port_ = FreeLoopbackPort();
        const std::vector<std::string> arguments = argumentsFor(port_);
        pid_ = SpawnServer(arguments);
        if (pid_ < 0) throw std::runtime_error("cannot start " + arguments.front());
        bool ended = false;
        for (int look = 0; look < 200 && !ended; ++look) {
            if (ListensOn(pid_, port_)) return;
            ended = waitpid(pid_, nullptr, WNOHANG) == pid_;
            if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        if (!ended) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    throw std::runtime_error("the server does not listen on 127.0.0.1");
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
