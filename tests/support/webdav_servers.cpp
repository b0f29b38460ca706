#include "support/webdav_servers.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <stdexcept>

namespace testsupport {
namespace {

const char* const kModules = "/usr/lib/apache2/modules";

std::string Module(const std::string& name, const std::string& file) {
    return "LoadModule " + name + "_module " + kModules + "/mod_" + file + ".so\n";
}

// As root, Apache serves as www-data, which must reach its folder.
bool ServesAsOtherUser() {
    return geteuid() == 0;
}

}  // namespace

TApacheWebDavServer::TApacheWebDavServer(const std::string& user, const std::string& password) {
    const std::string& root = folder_.path();
    MakeThrowawayCertificate(root);
    MakeDirectories(root + "/served");
    MakeDirectories(root + "/run");
    if (RunCommand({"sh", "-c", "htpasswd -cbB \"$0\" \"$1\" \"$2\" 2>/dev/null", root + "/users", user, password}) !=
        0)
        throw std::runtime_error("htpasswd cannot write the users");
    if (ServesAsOtherUser() && (RunCommand({"chmod", "711", root}) != 0 ||
                                RunCommand({"chown", "www-data:www-data", root + "/served", root + "/run"}) != 0))
        throw std::runtime_error("the served folder cannot be given to www-data");
    process_ = std::make_unique<TServerProcess>([&](int port) {
        std::string config = "ServerRoot " + root + "\nDefaultRuntimeDir " + root + "/run\nPidFile " + root +
                             "/run/apache.pid\nServerName 127.0.0.1\nListen 127.0.0.1:" + std::to_string(port) + "\n";
        config += Module("mpm_event", "mpm_event") + Module("authz_core", "authz_core") +
                  Module("authn_core", "authn_core") + Module("authn_file", "authn_file") +
                  Module("authz_user", "authz_user") + Module("auth_basic", "auth_basic") + Module("alias", "alias") +
                  Module("dav", "dav") + Module("dav_fs", "dav_fs") + Module("ssl", "ssl");
        if (ServesAsOtherUser()) config += "User www-data\nGroup www-data\n";
        config += "ErrorLog " + root + "/error.log\nLogLevel warn\nLogFormat \"%m %U %>s\" requests\nCustomLog " +
                  root + "/requests.log requests\nDavLockDB " + root + "/run/davlock\nSSLEngine on\n" +
                  "SSLCertificateFile " + root + "/cert.pem\nSSLCertificateKeyFile " + root + "/key.pem\n" +
                  "Alias /webdav " + root + "/served\n<Directory " + root + "/served>\n  Dav On\n" +
                  "  AuthType Basic\n  AuthName tavirel\n  AuthUserFile " + root + "/users\n" +
                  "  Require valid-user\n</Directory>\n";
        WriteFileBytes(root + "/apache.conf", config);
        // In the foreground, one process: stopped by its id, cut at once.
        return std::vector<std::string>{"/usr/sbin/apache2", "-X", "-f", root + "/apache.conf"};
    });
}

std::string TApacheWebDavServer::Fingerprint() const {
    return CertificateFingerprint(folder_.path());
}

void TApacheWebDavServer::OwnServedFiles() const {
    if (ServesAsOtherUser()) RunCommand({"chown", "-R", "www-data:www-data", Folder()});
}

void TApacheWebDavServer::Cut() {
    kill(process_->pid(), SIGKILL);
}

std::string TApacheWebDavServer::Requests() const {
    return ReadFileBytes(folder_.path() + "/requests.log");
}

TRcloneWebDavServer::TRcloneWebDavServer(const std::string& servedFolder, const std::string& user,
                                         const std::string& password) {
    WriteFileBytes(folder_.path() + "/rclone.conf", "");
    process_ = std::make_unique<TServerProcess>([&](int port) {
        std::vector<std::string> arguments{"rclone", "serve", "webdav", servedFolder};
        for (const std::string& option :
             {"--addr=127.0.0.1:" + std::to_string(port), "--user=" + user, "--pass=" + password,
              "--cache-dir=" + folder_.path() + "/cache", "--config=" + folder_.path() + "/rclone.conf",
              "--log-file=" + folder_.path() + "/rclone.log"})
            arguments.push_back(option);
        return arguments;
    });
}

void TRcloneWebDavServer::Cut() {
    kill(process_->pid(), SIGKILL);
}

}  // namespace testsupport
