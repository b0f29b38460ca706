#pragma once

// The steps of a fetch over any protocol, once connected: each server
// folder listed once, every name judged, each file fetched under a
// temporary name here, the pages proved and followed, the record of what
// was sent rebuilt from what came.

#include <filesystem>
#include <string>

#include "core/folder_names.h"
#include "transfer/fetch.h"
#include "transfer/remote_server.h"
#include "transfer/sent_record.h"

namespace transfer {

// The folder here while a fetch writes to it: made when it is not there,
// refused when it holds anything but what an unfinished fetch from the same
// server folder (`key`) left, and marked as being fetched into until
// Finish(). Throws TTransferError.
class TFetchFolder {
public:
    TFetchFolder(const std::filesystem::path& folder, const std::string& key);
    const core::TPageFolder& folder() const { return folder_; }
    // Everything came: the mark goes, and the folder is the user's.
    void Finish();

private:
    std::filesystem::path path_;
    core::TPageFolder folder_;
};

// Fills `result` as it goes; throws TTransferError when it has to stop, and
// the result then holds what came before.
void RunFetchSteps(const TFetchOrder& order, TFetchFolder& here, IRemoteServer& server, const std::string& base,
                   TSentRecord& record, IPublishProgress& progress, const std::atomic<bool>& cancel,
                   TFetchResult& result);

}  // namespace transfer
