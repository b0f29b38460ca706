#pragma once

// An SSH connection as OpenSSH's `ssh` makes it: the host key checked
// against ~/.ssh/known_hosts before anything else is sent, then the login by
// password, by a key file, or by the agent and ~/.ssh's usual keys.

#include <libssh/libssh.h>

#include <atomic>
#include <memory>
#include <string>

#include "transfer/publish.h"
#include "transfer/stall_guard.h"

namespace transfer {

// ~ as the program sees it: $HOME, else the account's home folder.
std::string HomeFolder();

class TSshLogin {
public:
    // Connected and logged in, or throws TTransferError with the cause.
    // `cancel` ends every stage, the name lookup and each wait for the
    // server included, with TFault::Cancelled.
    TSshLogin(const TServerLogin& login, IPublishQuestions& questions, const std::atomic<bool>& cancel);
    ~TSshLogin();
    TSshLogin(const TSshLogin&) = delete;
    TSshLogin& operator=(const TSshLogin&) = delete;

    ssh_session session() const { return session_; }
    int socket() const { return fd_; }
    // Watches every wait for the server, from the key exchange on.
    TStallGuard& guard() { return *guard_; }
    // The password logged in, not a key, the agent or no login at all.
    bool byPassword() const { return byPassword_; }
    // The error for `fault` as the session stands now: cancelled, the
    // server silent, the connection lost, or else `cause`, with libssh's
    // words for it.
    TTransferError Failure(TFault fault, const TSubject& subject = {}, TCause cause = TCause::None) const;

private:
    void Connect();
    void Close();
    void CheckHostKey(IPublishQuestions& questions);
    void LogIn(IPublishQuestions& questions);
    // Throws TFault::Cancelled when the publish was cancelled.
    void StopIfCancelled() const;
    // A libssh call that waits for the server, under the guard.
    template <typename TCall>
    auto Waited(TCall call) -> decltype(call()) {
        const TStallGuard::TWaiting waiting(*guard_);
        return call();
    }

    const TServerLogin& login_;
    const std::atomic<bool>& cancel_;
    std::string hostName_;  // as known_hosts names it: "[host]:port" unless port 22
    int fd_ = -1;
    ssh_session session_ = nullptr;
    std::unique_ptr<TStallGuard> guard_;
    bool byPassword_ = false;
};

}  // namespace transfer
