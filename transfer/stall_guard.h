#pragma once

// libssh's calls wait for the server's answer without end, from the key
// exchange and the login on to every SFTP request: a server that stops
// answering (or a line that silently drops) would hold the publish forever,
// and "Abbrechen" with it. The guard watches each wait and
// ends the connection under it when the server stays silent too long or the
// publish is cancelled; the call waiting then fails at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace transfer {

class TStallGuard {
public:
    enum class TCut { None, Silent, Cancelled };
    static constexpr int kSilentSeconds = 30;

    TStallGuard(int socket, const std::atomic<bool>& cancel);
    ~TStallGuard();
    TStallGuard(const TStallGuard&) = delete;
    TStallGuard& operator=(const TStallGuard&) = delete;

    // While it lives, the server is being waited for.
    class TWaiting {
    public:
        explicit TWaiting(TStallGuard& guard) : guard_(guard) { guard_.Begin(); }
        ~TWaiting() { guard_.End(); }
        TWaiting(const TWaiting&) = delete;
        TWaiting& operator=(const TWaiting&) = delete;

    private:
        TStallGuard& guard_;
    };

    // Why the connection was ended, if it was.
    TCut cut() const { return cut_; }

private:
    using Clock = std::chrono::steady_clock;
    void Begin();
    void End();
    void Watch();

    const int socket_;
    const std::atomic<bool>& cancel_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::optional<Clock::time_point> since_;
    std::atomic<TCut> cut_ = TCut::None;
    std::thread thread_;
};

}  // namespace transfer
