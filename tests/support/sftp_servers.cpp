#include "support/sftp_servers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "support/files.h"

namespace testsupport {
namespace {

void MakeKey(const std::string& file, const std::string& type, const std::string& passphrase = "") {
    if (RunCommand({"ssh-keygen", "-q", "-t", type, "-N", passphrase, "-C", "tavirel-test", "-f", file}) != 0)
        throw std::runtime_error("ssh-keygen cannot make " + file);
}

}  // namespace

TSshServer::TSshServer(const std::string& extraConfig) : folder_("sshd") {
    const std::string keys = keyFolder();
    MakeDirectories(keys);
    MakeKey(folder_.path() + "/host_ed25519", "ed25519");
    MakeKey(keys + "/other_host_ed25519", "ed25519");
    MakeKey(keys + "/id_ed25519", "ed25519");
    MakeKey(keys + "/id_rsa", "rsa");
    MakeKey(keys + "/id_ecdsa", "ecdsa", kKeyPassphrase);
    WriteFileBytes(folder_.path() + "/authorized_keys", ReadFileBytes(keys + "/id_ed25519.pub") +
                                                            ReadFileBytes(keys + "/id_rsa.pub") +
                                                            ReadFileBytes(keys + "/id_ecdsa.pub"));
    const std::string config =
        "ListenAddress 127.0.0.1\n"
        "HostKey " +
        folder_.path() +
        "/host_ed25519\n"
        "AuthorizedKeysFile " +
        folder_.path() +
        "/authorized_keys\n"
        "PidFile none\n"
        "StrictModes no\n"
        "UsePAM no\n"
        "PasswordAuthentication no\n"
        "KbdInteractiveAuthentication no\n"
        "PermitRootLogin prohibit-password\n"
        "Subsystem sftp internal-sftp\n"
        "LogLevel DEBUG1\n";
    WriteFileBytes(folder_.path() + "/sshd_config", config + extraConfig);
    // sshd's privilege separation needs its empty folder when run as root.
    if (geteuid() == 0) mkdir("/run/sshd", 0755);
    process_ = std::make_unique<TServerProcess>([this](int port) {
        return std::vector<std::string>{"/usr/sbin/sshd",
                                        "-D",
                                        "-f",
                                        folder_.path() + "/sshd_config",
                                        "-E",
                                        folder_.path() + "/sshd.log",
                                        "-o",
                                        "Port=" + std::to_string(port)};
    });
    port_ = process_->port();
}

std::string TSshServer::HostKeyLine() const {
    return ReadFileBytes(folder_.path() + "/host_ed25519.pub");
}

std::string TSshServer::Log() const {
    return ReadFileBytes(folder_.path() + "/sshd.log");
}

TRcloneSftpServer::TRcloneSftpServer(const std::string& servedFolder, const std::string& user,
                                     const std::string& password, bool readOnly)
    : folder_("rclone") {
    MakeKey(folder_.path() + "/host_ed25519", "ed25519");
    WriteFileBytes(folder_.path() + "/rclone.conf", "");
    // Password logins only: an empty list of keys.
    WriteFileBytes(folder_.path() + "/no_authorized_keys", "");
    process_ = std::make_unique<TServerProcess>([&](int port) {
        std::vector<std::string> arguments{"rclone", "serve", "sftp", servedFolder};
        for (const std::string& option :
             {"--addr=127.0.0.1:" + std::to_string(port), "--user=" + user, "--pass=" + password,
              "--key=" + folder_.path() + "/host_ed25519", "--cache-dir=" + folder_.path() + "/cache",
              "--config=" + folder_.path() + "/rclone.conf",
              "--authorized-keys=" + folder_.path() + "/no_authorized_keys",
              "--log-file=" + folder_.path() + "/rclone.log"})
            arguments.push_back(option);
        if (readOnly) arguments.push_back("--read-only");
        return arguments;
    });
    port_ = process_->port();
}

TPromptingSshServer::TPromptingSshServer(int rounds) : folder_("prompting") {
    MakeKey(folder_.path() + "/host_ed25519", "ed25519");
    WriteFileBytes(folder_.path() + "/answers", "");
    // Debian's python3, which has paramiko, whatever else PATH offers.
    process_ = std::make_unique<TServerProcess>([&](int port) {
        return std::vector<std::string>{"/usr/bin/python3",     TAVIREL_PROMPTING_SSH_SERVER_SCRIPT,
                                        std::to_string(port),   folder_.path() + "/host_ed25519",
                                        std::to_string(rounds), folder_.path() + "/answers"};
    });
    port_ = process_->port();
}

std::string TPromptingSshServer::Answers() const {
    return ReadFileBytes(folder_.path() + "/answers");
}

}  // namespace testsupport
