#include "transfer/connection.h"

#include "transfer/ftps_server.h"
#include "transfer/s3_server.h"
#include "transfer/sftp_server.h"
#include "transfer/webdav_server.h"

namespace transfer {

std::unique_ptr<IRemoteServer> OpenServer(const TServerLogin& login, IPublishQuestions& questions,
                                          const std::atomic<bool>& cancel) {
    if (login.protocol == TProtocol::Ftps) return OpenFtpsServer(login, questions, cancel);
    if (login.protocol == TProtocol::WebDav) return OpenWebDavServer(login, questions, cancel);
    if (login.protocol == TProtocol::S3) return OpenS3Server(login, questions, cancel);
    return OpenSftpServer(login, questions, cancel);
}

// "www/" and "www" are one folder, one record. "~/www", as hosts often
// write it, is the login folder's "www": SFTP itself knows no "~".
std::string BaseFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder == "~") return "";
    if (folder.rfind("~/", 0) == 0) folder.erase(0, 2);
    return folder;
}

// One record per way, server, login and folder.
std::string RecordKey(const TServerLogin& login) {
    const std::string base = BaseFolder(login.folder);
    if (login.protocol == TProtocol::WebDav) return "webdav " + login.user + "@" + login.address + " " + base;
    if (login.protocol == TProtocol::S3)
        return "s3 " + login.user + "@" + login.address + " " + login.bucket + " " + base;
    const std::string scheme = login.protocol == TProtocol::Sftp ? "sftp" : "ftps";
    return scheme + " " + login.user + "@" + login.host + ":" + std::to_string(login.port) + " " + base;
}

}  // namespace transfer
