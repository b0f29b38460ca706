#pragma once

// The pictures a publish sends, rebuilt for the web in the picture process
// before anything goes up (pictures/): so that the question before sending
// can count what was done and name what cannot go, and the steps send only
// rebuilt pictures.

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/folder_names.h"
#include "pictures/picture_words.h"
#include "pictures/web_picture.h"
#include "transfer/publish.h"
#include "transfer/sent_record.h"

namespace transfer {

struct TWebCopy {
    // nullopt: the picture cannot be rebuilt and is not sent.
    std::optional<pictures::TWebPicture> picture;
    std::uint64_t originalBytes = 0;
};

struct TWebCopies {
    int side = pictures::kWebSide;
    // The pictures rebuilt before sending, by file; a picture the record
    // shows unchanged, for this side too, is not among them.
    std::map<std::string, TWebCopy> copies;

    const TWebCopy* Find(const std::string& file) const;
    // Those that cannot go, in the plan's order.
    std::vector<std::string> NotCleanable(const TPublishPlan& plan) const;
    pictures::TPicturesDone Done() const;
};

// Every picture of the plan that changed here since the record says it went
// up, or whose web copy `side` changes, rebuilt; each file opened as the
// publish opens it, and judged by its bytes, not its name.
TWebCopies MakeWebCopies(const TPublishPlan& plan, const TSentRecord& record, int side, IPublishProgress& progress,
                         const std::atomic<bool>& cancel);

// Whether what was sent of this file is what `side` would send: it is no
// picture, or its web copy was built for the same scaling.
bool KeepsSide(const TSentFile& sent, int side);
// The side a picture of that longer side is built for: `side`, or
// pictures::kNoScaling when it is not scaled.
int BuiltFor(int pictureSide, int side);

// Whether the open file is a picture, by its first bytes.
bool IsPicture(int file);

// The bytes as a file of their own that lives in memory only, for
// IRemoteServer::Upload; throws TTransferError naming `name` when there is
// no room.
core::TOpenFile InMemoryFile(const std::string& bytes, const std::string& name);

}  // namespace transfer
