#pragma once

// A real HTTP server for the tests: python3's, serving one folder on
// 127.0.0.1 at a free port, in a process of its own that the fixture waits
// for until it answers and stops by its process id.

#include <sys/types.h>

#include <string>

namespace testsupport {

class THttpServer {
public:
    // Serves the folder. With a charset, text goes out with it in its
    // Content-Type ("text/html; charset=UTF-8"). Throws when the server does
    // not answer.
    explicit THttpServer(const std::string& folder, const std::string& charset = {});
    ~THttpServer();
    THttpServer(const THttpServer&) = delete;
    THttpServer& operator=(const THttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT/" followed by the path.
    std::string Url(const std::string& path) const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace testsupport
