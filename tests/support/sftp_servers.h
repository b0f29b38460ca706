#pragma once

// Real SFTP servers on 127.0.0.1 for the publishing tests, each on a free
// port with throwaway keys and a configuration of its own, stopped by its
// process id when the fixture goes.

#include <memory>
#include <string>

#include "support/files.h"
#include "support/server_process.h"

namespace testsupport {

// OpenSSH's sshd as the current user, logging in by key only (the keys of
// keyFolder() are in its authorized keys) and serving SFTP in-process, so
// that ending a session ends its transfer.
class TSshServer {
public:
    static constexpr const char* kKeyPassphrase = "Schlüssel geheim";
    // Lines added to its configuration, e.g. which key types it takes.
    explicit TSshServer(const std::string& extraConfig = "");
    int port() const { return port_; }
    // id_ed25519, id_rsa, id_ecdsa (encrypted with kKeyPassphrase), each
    // with its .pub, the server takes; other_host_ed25519.pub, a host key the
    // server does not have.
    std::string keyFolder() const { return folder_.path() + "/keys"; }
    // The server's public host key line ("ssh-ed25519 AAAA… comment").
    std::string HostKeyLine() const;
    std::string HostKeyFile() const { return folder_.path() + "/host_ed25519.pub"; }
    // What sshd logged so far (LogLevel DEBUG1: every login attempt).
    std::string Log() const;
    // Ends every session now, as a lost connection does.
    void CutSessions() { process_->KillChildren(); }
    // Every session stops answering, the connection stays.
    void HangSessions() { process_->StopChildren(); }

private:
    TScratchFolder folder_;
    int port_ = 0;
    std::unique_ptr<TServerProcess> process_;
};

// `rclone serve sftp` with one user and password; it replaces a file by
// renaming, which OpenSSH refuses.
class TRcloneSftpServer {
public:
    TRcloneSftpServer(const std::string& servedFolder, const std::string& user, const std::string& password,
                      bool readOnly = false);
    int port() const { return port_; }

private:
    TScratchFolder folder_;
    int port_ = 0;
    std::unique_ptr<TServerProcess> process_;
};

// An SSH server (paramiko) that asks for the password in keyboard-
// interactive rounds; it takes the login after `rounds` answers, never with
// 0. Nothing follows the login, not even SFTP.
class TPromptingSshServer {
public:
    explicit TPromptingSshServer(int rounds);
    int port() const { return port_; }
    // Every answer it was given, one a line.
    std::string Answers() const;

private:
    TScratchFolder folder_;
    int port_ = 0;
    std::unique_ptr<TServerProcess> process_;
};

}  // namespace testsupport
