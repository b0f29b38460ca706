#pragma once

// Reaching a server folder, whichever way the login says, and naming it as
// the record of what was sent there names it: what the publish and the
// fetch share.

#include <atomic>
#include <memory>
#include <string>

#include "transfer/publish.h"
#include "transfer/remote_server.h"

namespace transfer {

// Connected, trusted and logged in (sftp_server.h, ftps_server.h).
std::unique_ptr<IRemoteServer> OpenServer(const TServerLogin& login, IPublishQuestions& questions,
                                          const std::atomic<bool>& cancel);

// The login's folder as the steps join names to it: trailing slashes
// dropped, "~/www" the login folder's "www".
std::string BaseFolder(std::string folder);

// Which server and folder a record of what was sent is for.
std::string RecordKey(const TServerLogin& login);

}  // namespace transfer
