#pragma once

#include <memory>

#include "transfer/publish.h"
#include "transfer/remote_server.h"

namespace transfer {

// Connected, the host key trusted and logged in, the SFTP channel open; or
// throws TTransferError with the cause. A wait for the server ends when
// `cancel` is set or the server stays silent (TStallGuard).
std::unique_ptr<IRemoteServer> OpenSftpServer(const TServerLogin& login, IPublishQuestions& questions,
                                              const std::atomic<bool>& cancel);

}  // namespace transfer
