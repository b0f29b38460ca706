#include "support/ftps_server.h"

#include <cstdlib>
#include <stdexcept>

#include "support/files.h"

namespace testsupport {

TFtpsServer::TFtpsServer(const std::string& servedFolder, const std::string& user, const std::string& password,
                         bool mlsd)
    : served_(servedFolder), user_(user), password_(password), mlsd_(mlsd), port_(FreeLoopbackPort()) {
    folder_ = "/tmp/tavirel-ftps-XXXXXX";
    if (mkdtemp(folder_.data()) == nullptr) throw std::runtime_error("no temporary folder");
    MakeCertificate();
    Start();
}

TFtpsServer::~TFtpsServer() {
    process_.reset();
    RunCommand({"rm", "-rf", folder_});
}

void TFtpsServer::MakeCertificate() {
    if (RunCommand({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                    "-subj", "/CN=localhost", "-days", "2", "-keyout", folder_ + "/key.pem", "-out",
                    folder_ + "/cert.pem"}) != 0)
        throw std::runtime_error("openssl cannot make a certificate");
    if (RunCommand({"sh", "-c",
                    "openssl x509 -noout -fingerprint -sha256 -in '" + folder_ + "/cert.pem' > '" + folder_ +
                        "/fingerprint'"}) != 0)
        throw std::runtime_error("openssl cannot read the certificate");
}

void TFtpsServer::Start() {
    // Debian's python3, which has pyftpdlib and pyOpenSSL, whatever else
    // PATH offers.
    std::vector<std::string> arguments = {
        "/usr/bin/python3",    TAVIREL_FTPS_SERVER_SCRIPT, std::to_string(port_),    served_, user_, password_,
        folder_ + "/cert.pem", folder_ + "/key.pem",       folder_ + "/commands.log"};
    if (!mlsd_) arguments.push_back("no-mlsd");
    // The commands of this run only.
    WriteFileBytes(folder_ + "/commands.log", "");
    process_ = std::make_unique<TServerProcess>(arguments, port_);
}

std::string TFtpsServer::Fingerprint() const {
    std::string line = ReadFileBytes(folder_ + "/fingerprint");
    line = line.substr(line.find('=') + 1);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

std::string TFtpsServer::Commands() const {
    return ReadFileBytes(folder_ + "/commands.log");
}

void TFtpsServer::ChangeCertificate() {
    process_.reset();
    MakeCertificate();
    Start();
}

}  // namespace testsupport
