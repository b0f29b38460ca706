#include "support/s3_store.h"

#include <signal.h>

#include <filesystem>
#include <set>

namespace testsupport {
namespace {

const std::string kObject = "._S3rver_object";

// "Content-Type": "…" in the object's metadata file.
std::string Field(const std::string& json, const std::string& name) {
    const std::size_t at = json.find("\"" + name + "\":");
    if (at == std::string::npos) return "<none>";
    const std::size_t start = json.find('"', at + name.size() + 3) + 1;
    return json.substr(start, json.find('"', start) - start);
}

}  // namespace

TS3Store::TS3Store() {
    MakeThrowawayCertificate(folder_.path());
    MakeDirectories(folder_.path() + "/data");
    process_ = std::make_unique<TServerProcess>([&](int port) {
        // Its continuation tokens are DES-encrypted, which OpenSSL 3 offers
        // only in its legacy provider.
        return std::vector<std::string>{"node",
                                        "--openssl-legacy-provider",
                                        TAVIREL_S3RVER,
                                        "--directory",
                                        folder_.path() + "/data",
                                        "--address",
                                        "127.0.0.1",
                                        "--port",
                                        std::to_string(port),
                                        "--key",
                                        folder_.path() + "/key.pem",
                                        "--cert",
                                        folder_.path() + "/cert.pem",
                                        "--silent",
                                        "--configure-bucket",
                                        kBucket};
    });
}

std::string TS3Store::Fingerprint() const {
    return CertificateFingerprint(folder_.path());
}

std::string TS3Store::Stored(const std::string& key) const {
    return folder_.path() + "/data/" + kBucket + "/" + key + kObject;
}

std::string TS3Store::Keys(const std::string& prefix) const {
    const std::string root = folder_.path() + "/data/" + kBucket + "/";
    std::set<std::string> keys;
    if (std::filesystem::exists(root + prefix))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root + prefix)) {
            const std::string path = entry.path().string();
            if (path.size() > kObject.size() &&
                path.compare(path.size() - kObject.size(), kObject.size(), kObject) == 0)
                keys.insert(path.substr(root.size() + prefix.size(),
                                        path.size() - root.size() - prefix.size() - kObject.size()));
        }
    std::string listed;
    for (const std::string& key : keys) listed += key + "\n";
    return listed;
}

std::string TS3Store::Object(const std::string& key) const {
    return ReadFileBytes(Stored(key));
}

std::string TS3Store::Headers(const std::string& key) const {
    const std::string path = Stored(key);
    const std::string json = ReadFileBytes(path.substr(0, path.size() - kObject.size()) + "._S3rver_metadata.json");
    return Field(json, "content-type") + " | " + Field(json, "cache-control");
}

void TS3Store::Cut() {
    kill(process_->pid(), SIGKILL);
}

}  // namespace testsupport
