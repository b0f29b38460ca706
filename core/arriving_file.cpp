#include "core/arriving_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/system_calls.h"

namespace core {

TArrivingFile::TArrivingFile(const TPageFolder& folder, std::string_view name, bool ownName)
    : place_(folder.NewPlace(name, ownName)) {
    if (!place_) return;
    if (place_->status) {
        state_ = TState::Taken;
        return;
    }
    temp_ = std::make_unique<TTempFile>(place_->folder.Get());
    if (temp_->Create()) state_ = TState::Open;
}

TArrivingFile::TKept TArrivingFile::Keep(TFlush flush) {
    if (state_ != TState::Open) return state_ == TState::Taken ? TKept::Taken : TKept::Refused;
    state_ = TState::Refused;
    fchmod(temp_->Descriptor(), NewFileMode());
    // Whole on the disk before it has its name: a power cut never leaves an
    // empty file there.
    const bool flushed = flush == TFlush::Later || RetryInterrupted([&] { return fsync(temp_->Descriptor()); }) == 0;
    if (!flushed || !temp_->Close()) {
        temp_->Discard();
        return TKept::Refused;
    }
    if (!temp_->RenameTo(place_->name, false)) {
        const bool taken = errno == EEXIST;
        temp_->Discard();
        return taken ? TKept::Taken : TKept::Refused;
    }
    if (flush == TFlush::Now) SyncFolder(place_->folder.Get());
    return TKept::Kept;
}

}  // namespace core
