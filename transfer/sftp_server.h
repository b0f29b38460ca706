#pragma once

#include <memory>

#include "transfer/publish.h"
#include "transfer/remote_server.h"

namespace transfer {

// Connected, the host key trusted and logged in, the SFTP channel open; or
// throws TTransferError with the cause.
std::unique_ptr<IRemoteServer> OpenSftpServer(const TServerLogin& login, IPublishQuestions& questions);

}  // namespace transfer
