#include "transfer/ssh_login.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "transfer/fingerprint_text.h"
#include "transfer/transfer_messages.h"

namespace transfer {
namespace {

constexpr int kTimeoutSeconds = 20;

// How often a wait that libssh does not make looks at the cancel.
constexpr int kLookMilliseconds = 100;
// A server that asks again and again is not answered for ever.
constexpr int kMostPromptRounds = 10;

// getaddrinfo cannot be interrupted: it runs on a thread of its own, which a
// cancel leaves behind to end on its own and free what it found.
struct TLookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int result = 0;
    addrinfo* found = nullptr;
    ~TLookup() {
        if (found != nullptr) freeaddrinfo(found);
    }
};

std::shared_ptr<TLookup> LookUp(const std::string& host, int port, const std::atomic<bool>& cancel) {
    auto lookup = std::make_shared<TLookup>();
    std::thread([lookup, host, service = std::to_string(port)] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int result = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        const std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->result = result;
        lookup->found = found;
        lookup->finished = true;
        lookup->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    while (!lookup->done.wait_for(lock, std::chrono::milliseconds(kLookMilliseconds), [&] { return lookup->finished; }))
        if (cancel) throw TTransferError(TFault::Cancelled);
    return lookup;
}

// Waits for a connection under way; 0 when it is made, else the cause.
int AwaitConnection(int fd, const std::atomic<bool>& cancel) {
    pollfd waiting{fd, POLLOUT, 0};
    for (int waited = 0; waited < kTimeoutSeconds * 1000; waited += kLookMilliseconds) {
        if (cancel) return ECANCELED;
        const int ready = poll(&waiting, 1, kLookMilliseconds);
        if (ready < 0 && errno != EINTR) return errno;
        if (ready <= 0) continue;
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
        return error;
    }
    return ETIMEDOUT;
}

// The TCP connection is made here rather than inside libssh, so that a
// refused port, a silent host and an unknown name each get their own words,
// and a cancel ends each of their waits.
int ConnectTo(const std::string& host, int port, const std::atomic<bool>& cancel) {
    const std::shared_ptr<TLookup> lookup = LookUp(host, port, cancel);
    const int resolved = lookup->result;
    if (resolved == EAI_NONAME || resolved == EAI_NODATA || resolved == EAI_FAIL)
        throw TTransferError(TFault::UnknownHost, host);
    if (resolved != 0) throw TTransferError(TFault::HostNotResolved, host, TCause::None, gai_strerror(resolved));
    const addrinfo* found = lookup->found;
    int lastError = 0;
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const int fd =
            socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int error = 0;
        if (connect(fd, address->ai_addr, address->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) error = AwaitConnection(fd, cancel);
        }
        if (error == 0) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            // Each SFTP request waits for its answer: without this, Nagle's
            // wait for the peer's delayed acknowledgement holds every one
            // (50 MiB took 27 s on the loopback, under 2 s with it).
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return fd;
        }
        close(fd);
        if (error == ECANCELED) throw TTransferError(TFault::Cancelled);
        lastError = error;
    }
    const TSubject where{host, std::to_string(port)};
    if (lastError == ECONNREFUSED)
        throw TTransferError(TFault::ConnectionRefused, {host, std::to_string(port), "SFTP"});
    if (lastError == ETIMEDOUT) throw TTransferError(TFault::NoAnswer, where);
    if (lastError == ENETUNREACH || lastError == EHOSTUNREACH) throw TTransferError(TFault::HostUnreachable, where);
    throw TTransferError(TFault::NoConnection, where, TCause::None, std::strerror(lastError));
}

// The server ended the connection (or it is gone), rather than keeping it
// open without a word.
bool PeerEnded(int fd) {
    pollfd looking{fd, POLLIN | POLLRDHUP, 0};
    return poll(&looking, 1, 0) > 0 && (looking.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// How `ssh` names a key type in its fingerprint line.
std::string KeyTypeName(ssh_key key) {
    switch (ssh_key_type(key)) {
        case SSH_KEYTYPE_ED25519:
            return "ED25519";
        case SSH_KEYTYPE_RSA:
            return "RSA";
        case SSH_KEYTYPE_ECDSA_P256:
        case SSH_KEYTYPE_ECDSA_P384:
        case SSH_KEYTYPE_ECDSA_P521:
            return "ECDSA";
        default:
            return ssh_key_type_to_char(ssh_key_type(key));
    }
}

struct TFreeKey {
    void operator()(ssh_key key) const { ssh_key_free(key); }
};
using TKey = std::unique_ptr<std::remove_pointer_t<ssh_key>, TFreeKey>;

// "SHA256:…" without padding, as `ssh` prints it.
std::string Fingerprint(ssh_key key) {
    unsigned char* hash = nullptr;
    size_t length = 0;
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) != 0) return "?";
    char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length);
    std::string fingerprint = text != nullptr ? text : "?";
    ssh_string_free_char(text);
    ssh_clean_pubkey_hash(&hash);
    return fingerprint;
}

// libssh asks for a key's passphrase through this; the question goes to
// the user, who may also decline.
struct TPassphraseAsk {
    IPublishQuestions* questions;
    std::filesystem::path keyFile;
    bool declined = false;
};

int AskPassphrase(const char*, char* buffer, size_t length, int, int, void* userdata) {
    auto* ask = static_cast<TPassphraseAsk*>(userdata);
    const std::optional<std::string> passphrase = ask->questions->KeyPassphrase(ask->keyFile);
    if (!passphrase || passphrase->size() + 1 > length) {
        ask->declined = true;
        return -1;
    }
    std::memcpy(buffer, passphrase->c_str(), passphrase->size() + 1);
    return 0;
}

}  // namespace

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    const passwd* account = getpwuid(getuid());
    return account != nullptr ? account->pw_dir : "/";
}

TSshLogin::TSshLogin(const TServerLogin& login, IPublishQuestions& questions, const std::atomic<bool>& cancel)
    : login_(login),
      cancel_(cancel),
      hostName_(login.port == 22 ? login.host : "[" + login.host + "]:" + std::to_string(login.port)) {
    if (login.host.empty()) throw TTransferError(TFault::NoServerGiven);
    fd_ = ConnectTo(login.host, login.port, cancel);
    session_ = ssh_new();
    if (session_ == nullptr) {
        close(fd_);
        throw TTransferError(TFault::NoSshLibrary);
    }
    try {
        guard_ = std::make_unique<TStallGuard>(fd_, cancel);
        Connect();
        CheckHostKey(questions);
        LogIn(questions);
    } catch (...) {
        Close();
        throw;
    }
}

// libssh leaves a socket it was given open.
TSshLogin::~TSshLogin() {
    Close();
}

void TSshLogin::Close() {
    // The guard goes first: it must not shut a socket number down that has
    // been closed and perhaps given to another connection.
    guard_.reset();
    ssh_disconnect(session_);
    ssh_free(session_);
    close(fd_);
}

void TSshLogin::Connect() {
    const std::string sshFolder = HomeFolder() + "/.ssh";
    const std::string knownHosts = sshFolder + "/known_hosts";
    const bool noConfig = false;
    const long timeout = kTimeoutSeconds;
    const unsigned int port = static_cast<unsigned int>(login_.port);
    // The user's and the system's ssh_config are not read: what the window
    // shows is what is used.
    ssh_options_set(session_, SSH_OPTIONS_PROCESS_CONFIG, &noConfig);
    ssh_options_set(session_, SSH_OPTIONS_HOST, login_.host.c_str());
    ssh_options_set(session_, SSH_OPTIONS_PORT, &port);
    if (!login_.user.empty()) ssh_options_set(session_, SSH_OPTIONS_USER, login_.user.c_str());
    ssh_options_set(session_, SSH_OPTIONS_SSH_DIR, sshFolder.c_str());
    ssh_options_set(session_, SSH_OPTIONS_KNOWNHOSTS, knownHosts.c_str());
    ssh_options_set(session_, SSH_OPTIONS_TIMEOUT, &timeout);
    ssh_options_set(session_, SSH_OPTIONS_FD, &fd_);
    if (Waited([&] { return ssh_connect(session_); }) == SSH_OK) return;
    StopIfCancelled();
    // Told apart by what came: an SSH greeting, nothing before the server
    // ended the connection, or nothing at all in libssh's time.
    const std::string why = ssh_get_error(session_);
    const bool greeted = ssh_get_serverbanner(session_) != nullptr;
    if (guard_->cut() == TStallGuard::TCut::Silent || (!greeted && !PeerEnded(fd_)))
        throw TTransferError(TFault::NoAnswer, {login_.host, std::to_string(login_.port)});
    if (!greeted) throw TTransferError(TFault::EndedWithoutSsh, login_.host, TCause::None, why);
    throw TTransferError(TFault::SshNotUnderstood, login_.host, TCause::None, why);
}

void TSshLogin::StopIfCancelled() const {
    if (cancel_ || guard_->cut() == TStallGuard::TCut::Cancelled) throw TTransferError(TFault::Cancelled);
}

TTransferError TSshLogin::Failure(TFault fault, const TSubject& subject, TCause cause) const {
    if (guard_ && guard_->cut() == TStallGuard::TCut::Cancelled) return TTransferError(TFault::Cancelled);
    if (guard_ && guard_->cut() == TStallGuard::TCut::Silent)
        return TTransferError(fault, subject, TCause::Silent, std::to_string(TStallGuard::kSilentSeconds));
    if (ssh_is_connected(session_) == 0) cause = TCause::ConnectionCut;
    return TTransferError(fault, subject, cause, ssh_get_error(session_));
}

// Nothing but the key exchange happens before this: no user name, no
// password and no key goes to a server whose key the user has not accepted.
void TSshLogin::CheckHostKey(IPublishQuestions& questions) {
    ssh_key received = nullptr;
    if (ssh_get_server_publickey(session_, &received) != SSH_OK) throw Failure(TFault::HostKeyNotShown);
    const TKey key(received);
    const std::string type = KeyTypeName(key.get());
    const std::string fingerprint = Fingerprint(key.get());
    switch (ssh_session_is_known_server(session_)) {
        case SSH_KNOWN_HOSTS_OK:
            return;
        case SSH_KNOWN_HOSTS_CHANGED:
        case SSH_KNOWN_HOSTS_OTHER:
            throw TTransferError(TFault::HostKeyChanged, {hostName_, type, ShownFingerprint(fingerprint)});
        case SSH_KNOWN_HOSTS_UNKNOWN:
        case SSH_KNOWN_HOSTS_NOT_FOUND:
            if (!questions.TrustUnknownHost(hostName_, type, fingerprint)) {
                StopIfCancelled();
                throw TTransferError(TFault::HostKeyNotTrusted, hostName_);
            }
            if (ssh_session_update_known_hosts(session_) != SSH_OK)
                throw TTransferError(TFault::HostKeyNotRecorded, {}, TCause::None, ssh_get_error(session_));
            return;
        case SSH_KNOWN_HOSTS_ERROR:
            break;
    }
    throw TTransferError(TFault::KnownHostsUnreadable, {}, TCause::None, ssh_get_error(session_));
}

void TSshLogin::LogIn(IPublishQuestions& questions) {
    // The user may have answered the host key question after "Abbrechen".
    StopIfCancelled();
    int result = Waited([&] { return ssh_userauth_none(session_, nullptr); });
    if (result == SSH_AUTH_SUCCESS) return;
    if (result == SSH_AUTH_ERROR) throw Failure(TFault::LoginFailed);
    const int methods = ssh_userauth_list(session_, nullptr);
    const std::string user = login_.user.empty() ? Text(TText::LocalUserName) : login_.user;

    std::vector<std::string> refusedKeys;
    // One key: asked first whether the server would take it, so that an
    // encrypted key's passphrase is asked only when it matters.
    const auto tryKey = [&](const std::filesystem::path& file, bool named) {
        TKey publicKey;
        ssh_key loaded = nullptr;
        if (ssh_pki_import_pubkey_file((file.string() + ".pub").c_str(), &loaded) == SSH_OK) publicKey.reset(loaded);
        if (publicKey) {
            const int offered = Waited([&] { return ssh_userauth_try_publickey(session_, nullptr, publicKey.get()); });
            if (offered == SSH_AUTH_ERROR) throw Failure(TFault::LoginFailed);
            if (offered != SSH_AUTH_SUCCESS) {
                refusedKeys.push_back(Text(TText::KeyOfType, {file.filename().string(), KeyTypeName(publicKey.get())}));
                return false;
            }
        }
        TPassphraseAsk ask{&questions, file};
        loaded = nullptr;
        if (ssh_pki_import_privkey_file(file.c_str(), nullptr, AskPassphrase, &ask, &loaded) != SSH_OK) {
            if (named && !ask.declined) throw TTransferError(TFault::KeyFileUnreadable, file.string());
            return false;
        }
        const TKey privateKey(loaded);
        StopIfCancelled();
        const int accepted = Waited([&] { return ssh_userauth_publickey(session_, nullptr, privateKey.get()); });
        if (accepted == SSH_AUTH_SUCCESS) return true;
        if (accepted == SSH_AUTH_ERROR) throw Failure(TFault::LoginFailed);
        refusedKeys.push_back(Text(TText::KeyOfType, {file.filename().string(), KeyTypeName(privateKey.get())}));
        return false;
    };

    if (!login_.keyFile.empty()) {
        if (!std::filesystem::exists(login_.keyFile)) throw TTransferError(TFault::KeyFileMissing, login_.keyFile);
        if ((methods & SSH_AUTH_METHOD_PUBLICKEY) != 0 && tryKey(login_.keyFile, true)) return;
    }
    if (!login_.password.empty()) {
        if ((methods & SSH_AUTH_METHOD_PASSWORD) != 0) {
            result = Waited([&] { return ssh_userauth_password(session_, nullptr, login_.password.c_str()); });
        } else if ((methods & SSH_AUTH_METHOD_INTERACTIVE) != 0) {
            // Many hosts ask for the password through a prompt of their own.
            result = Waited([&] { return ssh_userauth_kbdint(session_, nullptr, nullptr); });
            for (int round = 0; result == SSH_AUTH_INFO; ++round) {
                if (round == kMostPromptRounds)
                    throw TTransferError(TFault::TooManyPrompts, {user, std::to_string(kMostPromptRounds)});
                for (int prompt = 0; prompt < ssh_userauth_kbdint_getnprompts(session_); ++prompt)
                    ssh_userauth_kbdint_setanswer(session_, static_cast<unsigned int>(prompt), login_.password.c_str());
                result = Waited([&] { return ssh_userauth_kbdint(session_, nullptr, nullptr); });
            }
        } else {
            throw TTransferError(TFault::NoPasswordLogin);
        }
        if (result == SSH_AUTH_SUCCESS) {
            byPassword_ = true;
            return;
        }
        if (result == SSH_AUTH_ERROR) throw Failure(TFault::LoginFailed);
        throw TTransferError(TFault::PasswordRefused, user);
    }
    if (login_.keyFile.empty() && (methods & SSH_AUTH_METHOD_PUBLICKEY) != 0) {
        if (std::getenv("SSH_AUTH_SOCK") != nullptr) {
            result = Waited([&] { return ssh_userauth_agent(session_, nullptr); });
            if (result == SSH_AUTH_SUCCESS) return;
            if (result == SSH_AUTH_ERROR && ssh_is_connected(session_) == 0) throw Failure(TFault::LoginFailed);
        }
        const std::string sshFolder = HomeFolder() + "/.ssh/";
        for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"})
            if (std::filesystem::exists(sshFolder + name) && tryKey(sshFolder + name, false)) return;
    }
    if ((methods & SSH_AUTH_METHOD_PUBLICKEY) == 0 && login_.password.empty()) throw TTransferError(TFault::NoKeyLogin);
    if (refusedKeys.empty()) throw TTransferError(TFault::NoKeyFound, user);
    // The server does not say why it refuses a key: not listed there, or a
    // type it does not take (OpenSSH's PubkeyAcceptedAlgorithms).
    std::string keys;
    for (const std::string& key : refusedKeys) keys += (keys.empty() ? "" : "; ") + key;
    throw TTransferError(TFault::KeyRefused, {user, keys});
}

}  // namespace transfer
