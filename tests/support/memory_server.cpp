#include "support/memory_server.h"

#include <unistd.h>

#include "support/files.h"

namespace testsupport {
namespace {

std::string Parent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string Name(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

using transfer::TFault;

transfer::TTransferError Refused(TFault fault, const transfer::TSubject& subject) {
    return transfer::TTransferError(fault, subject, transfer::TCause::ServerError);
}

}  // namespace

void TMemoryServer::FailAt(TCall call, int first, int count, bool cut) {
    failing_ = call;
    first_ = first;
    last_ = first + count - 1;
    cut_ = cut;
    calls_ = {};
}

void TMemoryServer::Heal() {
    last_ = -1;
    lost_ = false;
}

void TMemoryServer::Call(TCall call, TFault fault, const transfer::TSubject& subject) {
    const int n = ++calls_[static_cast<std::size_t>(call)];
    const bool failing = call == failing_ && n >= first_ && n <= last_;
    if (failing && cut_) lost_ = true;
    if (lost_) throw transfer::TTransferError(fault, subject, transfer::TCause::ConnectionCut);
    if (failing) throw Refused(fault, subject);
}

std::string TMemoryServer::Tree() const {
    std::set<std::string> entries;
    for (const std::string& folder : folders)
        if (folder != ".") entries.insert(folder + "/");
    for (const auto& [path, file] : files) entries.insert(path);
    std::string tree;
    for (const std::string& entry : entries) tree += entry + "\n";
    return tree;
}

std::string TMemoryServer::Bytes(const std::string& file) const {
    const auto found = files.find(file);
    return found == files.end() ? "<missing>" : found->second.bytes;
}

std::optional<std::vector<transfer::TRemoteEntry>> TMemoryServer::List(const std::string& folder) {
    Call(TCall::List, TFault::FolderNotListed, folder);
    if (folders.count(folder) == 0) return std::nullopt;
    std::vector<transfer::TRemoteEntry> entries;
    for (const std::string& other : folders)
        if (other != "." && Parent(other) == folder) entries.push_back({Name(other), true, 0, 0});
    for (const auto& [path, file] : files)
        if (Parent(path) == folder) entries.push_back({Name(path), false, file.bytes.size(), file.modified});
    return entries;
}

void TMemoryServer::MakeFolder(const std::string& folder) {
    Call(TCall::MakeFolder, TFault::FolderNotCreated, folder);
    if (folders.count(Parent(folder)) == 0 || folders.count(folder) != 0 || files.count(folder) != 0)
        throw Refused(TFault::FolderNotCreated, folder);
    folders.insert(folder);
}

bool TMemoryServer::Upload(int local, const std::string&, const std::string& remote,
                           const std::function<bool(std::uint64_t)>& sent) {
    std::string bytes;
    char piece[4096];
    for (ssize_t got; (got = pread(local, piece, sizeof piece, static_cast<off_t>(bytes.size()))) > 0;)
        bytes.append(piece, static_cast<std::size_t>(got));
    if (folders.count(Parent(remote)) == 0 || folders.count(remote) != 0) throw Refused(TFault::FileNotCreated, remote);
    try {
        Call(TCall::Upload, TFault::NotWritten, remote);
    } catch (const transfer::TTransferError&) {
        if (!replacesWhole) files[remote] = {bytes.substr(0, bytes.size() / 2), ++clock_};
        throw;
    }
    files[remote] = {bytes, ++clock_};
    return sent(bytes.size());
}

void TMemoryServer::Rename(const std::string& from, const std::string& to) {
    Call(TCall::Rename, TFault::NotRenamed, {from, to});
    const auto found = files.find(from);
    if (found == files.end() || files.count(to) != 0 || folders.count(to) != 0 || folders.count(Parent(to)) == 0)
        throw Refused(TFault::NotRenamed, {from, to});
    files[to] = found->second;
    files.erase(from);
}

void TMemoryServer::Remove(const std::string& file) {
    Call(TCall::Remove, TFault::NotRemoved, file);
    if (files.erase(file) == 0) throw Refused(TFault::NotRemoved, file);
}

transfer::TRemoteEntry TMemoryServer::Stat(const std::string& file) {
    Call(TCall::Stat, TFault::NotQueried, file);
    if (folders.count(file) != 0) return {Name(file), true, 0, 0};
    const auto found = files.find(file);
    if (found == files.end()) throw Refused(TFault::NotQueried, file);
    return {Name(file), false, found->second.bytes.size(), found->second.modified};
}

// Half the file arrives when the call fails.
transfer::TDownloaded TMemoryServer::Download(const std::string& remote, int local, std::uint64_t most,
                                              const std::function<bool(std::uint64_t)>& received) {
    const auto found = files.find(remote);
    const std::string bytes = found == files.end() ? std::string() : found->second.bytes;
    try {
        Call(TCall::Download, TFault::NotFetched, remote);
    } catch (const transfer::TTransferError&) {
        WriteAllTo(local, bytes.substr(0, bytes.size() / 2));
        throw;
    }
    if (found == files.end()) throw Refused(TFault::NotFetched, remote);
    if (bytes.size() > most) return transfer::TDownloaded::TooLarge;
    if (!WriteAllTo(local, bytes)) throw transfer::TTransferError(TFault::NotFetched, remote);
    return received(bytes.size()) ? transfer::TDownloaded::Whole : transfer::TDownloaded::Stopped;
}

}  // namespace testsupport
