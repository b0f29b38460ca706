#include "support/ftps_server.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "support/files.h"

namespace testsupport {

TFtpsServer::TFtpsServer(const std::string& servedFolder, const std::string& user, const std::string& password,
                         TQuirk quirk) {
    MakeCertificate();
    WriteFileBytes(folder_.path() + "/commands.log", "");
    process_ = std::make_unique<TServerProcess>([&](int port) {
        // Debian's python3, which has pyftpdlib and pyOpenSSL, whatever
        // else PATH offers.
        std::vector<std::string> arguments = {"/usr/bin/python3",
                                              TAVIREL_FTPS_SERVER_SCRIPT,
                                              std::to_string(port),
                                              servedFolder,
                                              user,
                                              password,
                                              folder_.path() + "/cert.pem",
                                              folder_.path() + "/key.pem",
                                              folder_.path() + "/commands.log"};
        if (quirk == TQuirk::NoMlsd) arguments.push_back("no-mlsd");
        if (quirk == TQuirk::LosesLastByte) arguments.push_back("loses-last-byte");
        return arguments;
    });
}

void TFtpsServer::MakeCertificate() {
    MakeThrowawayCertificate(folder_.path());
}

std::string TFtpsServer::Fingerprint() const {
    return CertificateFingerprint(folder_.path());
}

std::string TFtpsServer::Commands() const {
    return ReadFileBytes(folder_.path() + "/commands.log");
}

std::string TFtpsServer::Passwords() const {
    return ReadFileBytes(folder_.path() + "/commands.log.passwords");
}

void TFtpsServer::ForgetCommands() {
    WriteFileBytes(folder_.path() + "/commands.log", "");
}

void TFtpsServer::Cut() {
    kill(process_->pid(), SIGKILL);
}

void TFtpsServer::ChangeCertificate() {
    const std::string reloaded = folder_.path() + "/commands.log.reloaded";
    std::filesystem::remove(reloaded);
    MakeCertificate();
    kill(process_->pid(), SIGHUP);
    for (int look = 0; look < 200 && !std::filesystem::exists(reloaded); ++look)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!std::filesystem::exists(reloaded)) throw std::runtime_error("the FTPS server kept its certificate");
}

}  // namespace testsupport
