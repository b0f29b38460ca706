#pragma once

// Where a photo was taken, as phones write it into the picture (EXIF GPS,
// the location fields of XMP and IPTC): a published picture would tell
// every visitor where the user lives, so it goes up without it.

#include <cstddef>
#include <optional>
#include <string>

#include "transfer/publish.h"

namespace transfer {

// A picture that carries location the library cannot remove: it stays
// here, and the rest of the publish goes on.
class TLocationStays : public TTransferError {
public:
    using TTransferError::TTransferError;
};

// The open file's bytes, read from its start, with its location fields
// removed and every other byte as the metadata library leaves it; nullopt
// when the file carries none, or is no picture whose metadata can be
// written (JPEG, PNG, WebP, TIFF), and goes up as it is. Throws
// TTransferError naming `name` when the file cannot be read, and
// TLocationStays when it carries location that cannot be removed.
std::optional<std::string> WithoutLocation(int file, const std::string& name);

// The bytes as a file of their own that lives in memory only, for
// IRemoteServer::Upload; throws TTransferError naming `name` when there is
// no room.
core::TOpenFile InMemoryFile(const std::string& bytes, const std::string& name);

// How many of the plan's files would go up without their location, each
// opened as the publish opens it; one that cannot be read counts not.
std::size_t PicturesWithLocation(const TPublishPlan& plan);

}  // namespace transfer
