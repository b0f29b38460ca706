#pragma once

#include <atomic>
#include <memory>

#include "transfer/publish.h"
#include "transfer/remote_server.h"

namespace transfer {

// FTP with explicit TLS (AUTH TLS) for the control and every data
// connection: connected, the certificate trusted and logged in; or throws
// TTransferError with the cause. A certificate that does not verify against
// the system's store and the host name is shown to the user before any user
// name or password goes out; one the user accepted is pinned in the login's
// trustFolder, and a different one that does not verify either is refused
// later (one that verifies is trusted, as a browser trusts it).
// While it logs in or lists a folder, `cancel` ends the wait for the server
// at once; an upload stops through its own callback, and the few commands
// that put files in place run to their end.
std::unique_ptr<IRemoteServer> OpenFtpsServer(const TServerLogin& login, IPublishQuestions& questions,
                                              const std::atomic<bool>& cancel);

}  // namespace transfer
