#pragma once

#include <atomic>
#include <memory>

#include "transfer/publish.h"
#include "transfer/remote_server.h"

namespace transfer {

// WebDAV over HTTPS at the login's address: connected, the certificate
// trusted and logged in (Basic or Digest, as the server offers); or throws
// TTransferError with the cause. The certificate is checked and pinned as
// FTPS does, before the user name or password goes out; a plain http://
// address is refused, but for 127.0.0.1, where nothing crosses a network.
// The user's folder is below the address unless it starts with "/".
// While it logs in or lists a folder, `cancel` ends the wait for the server.
std::unique_ptr<IRemoteServer> OpenWebDavServer(const TServerLogin& login, IPublishQuestions& questions,
                                                const std::atomic<bool>& cancel);

}  // namespace transfer
