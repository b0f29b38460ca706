#include "transfer/stall_guard.h"

#include <sys/socket.h>

namespace transfer {
namespace {

// A cancel lets a wait that is about to end finish: the steps then stop on
// their own and tidy up.
constexpr auto kCancelGrace = std::chrono::seconds(1);
constexpr auto kLook = std::chrono::milliseconds(200);

}  // namespace

TStallGuard::TStallGuard(int socket, const std::atomic<bool>& cancel)
    : socket_(socket), cancel_(cancel), thread_([this] { Watch(); }) {}

TStallGuard::~TStallGuard() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void TStallGuard::Begin() {
    const std::lock_guard<std::mutex> lock(mutex_);
    since_ = Clock::now();
}

void TStallGuard::End() {
    const std::lock_guard<std::mutex> lock(mutex_);
    since_.reset();
}

void TStallGuard::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        wake_.wait_for(lock, kLook);
        if (!since_ || cut_ != TCut::None) continue;
        const Clock::duration waited = Clock::now() - *since_;
        if (waited > std::chrono::seconds(kSilentSeconds))
            cut_ = TCut::Silent;
        else if (cancel_ && waited > kCancelGrace)
            cut_ = TCut::Cancelled;
        else
            continue;
        // The socket stays open (its owner closes it); the waiting read
        // returns at once.
        shutdown(socket_, SHUT_RDWR);
    }
}

}  // namespace transfer
