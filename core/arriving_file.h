#pragma once

// A file that comes from elsewhere (a server) into a folder the user chose:
// written under a temporary name in the folder its name leads to, and given
// that name only once whole, never replacing anything there. Whatever stops
// it on the way leaves nothing under the name.

#include <memory>
#include <optional>
#include <string_view>

#include "core/folder_names.h"
#include "core/temp_file.h"

namespace core {

class TArrivingFile {
public:
    // Below `folder` as TPageFolder::NewPlace finds the place, the folders
    // on the way made; nothing is created where the name is taken.
    TArrivingFile(const TPageFolder& folder, std::string_view name, bool ownName = false);

    enum class TState { Open, Taken, Refused };
    // Open: the file is there to be written and read back.
    TState state() const { return state_; }
    int Descriptor() const { return temp_ ? temp_->Descriptor() : -1; }

    // Under its name, with the mode a new file gets, and on the disk first
    // unless `later`: then TPageFolder::Sync puts it there, with every other
    // file, before anything counts on it. Taken when something took the name
    // meanwhile, Refused when the disk or the folder fails it. Anything but
    // Kept leaves nothing behind.
    enum class TKept { Kept, Taken, Refused };
    enum class TFlush { Now, Later };
    TKept Keep(TFlush flush = TFlush::Now);

private:
    std::optional<TPagePlace> place_;
    std::unique_ptr<TTempFile> temp_;
    TState state_ = TState::Refused;
};

}  // namespace core
