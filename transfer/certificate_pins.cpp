#include "transfer/certificate_pins.h"

#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#include "transfer/publish.h"

namespace transfer {
namespace {

const char* const kPinFile = "trusted_certificates";

std::map<std::string, std::string> ReadPins(const std::filesystem::path& folder) {
    std::map<std::string, std::string> pins;
    std::ifstream in(folder / kPinFile);
    std::string server, fingerprint;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        if (words >> server >> fingerprint) pins[server] = fingerprint;
    }
    return pins;
}

}  // namespace

std::string PinnedCertificate(const std::filesystem::path& folder, const std::string& server) {
    if (folder.empty()) return {};
    const std::map<std::string, std::string> pins = ReadPins(folder);
    const auto pin = pins.find(server);
    return pin == pins.end() ? std::string() : pin->second;
}

void PinCertificate(const std::filesystem::path& folder, const std::string& server, const std::string& fingerprint) {
    if (folder.empty()) throw TTransferError(TFault::CertificateNotPinned, {}, TCause::NoSettingsFolder);
    std::map<std::string, std::string> pins = ReadPins(folder);
    pins[server] = fingerprint;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // Written whole beside the old file and then put in its place, so that
    // a crash never leaves the servers' pins half written.
    const std::filesystem::path file = folder / kPinFile;
    const std::filesystem::path temporary = folder / (std::string(kPinFile) + ".neu");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const auto& [name, pin] : pins) out << name << ' ' << pin << '\n';
        out.flush();
        if (!out) throw TTransferError(TFault::CertificateNotPinned, file.string(), TCause::NotWritable);
    }
    std::filesystem::rename(temporary, file, error);
    if (error) throw TTransferError(TFault::CertificateNotPinned, file.string(), TCause::NotReplaced, error.message());
}

}  // namespace transfer
