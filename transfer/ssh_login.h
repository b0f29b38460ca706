#pragma once

// An SSH connection as OpenSSH's `ssh` makes it: the host key checked
// against ~/.ssh/known_hosts before anything else is sent, then the login by
// password, by a key file, or by the agent and ~/.ssh's usual keys.

#include <libssh/libssh.h>

#include <string>

#include "transfer/publish.h"

namespace transfer {

// ~ as the program sees it: $HOME, else the account's home folder.
std::string HomeFolder();

class TSshLogin {
public:
    // Connected and logged in, or throws TTransferError with the cause.
    TSshLogin(const TServerLogin& login, IPublishQuestions& questions);
    ~TSshLogin();
    TSshLogin(const TSshLogin&) = delete;
    TSshLogin& operator=(const TSshLogin&) = delete;

    ssh_session session() const { return session_; }
    int socket() const { return fd_; }
    // The German message for a failure of the session now: the connection
    // lost, or `what` with libssh's words for it.
    std::string Failure(const std::string& what) const;

private:
    void CheckHostKey(IPublishQuestions& questions);
    void LogIn(IPublishQuestions& questions);

    const TServerLogin& login_;
    std::string hostName_;  // as known_hosts names it: "[host]:port" unless port 22
    int fd_ = -1;
    ssh_session session_ = nullptr;
};

}  // namespace transfer
