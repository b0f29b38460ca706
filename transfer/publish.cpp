#include "transfer/publish.h"

#include "transfer/ftps_server.h"
#include "transfer/publish_steps.h"
#include "transfer/s3_server.h"
#include "transfer/sftp_server.h"
#include "transfer/web_copies.h"
#include "transfer/webdav_server.h"

namespace transfer {
namespace {

// Trailing slashes dropped: "www/" and "www" are one folder, one record.
// "~/www", as hosts often write it, is the login folder's "www": SFTP
// itself knows no "~".
std::string BaseFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder == "~") return "";
    if (folder.rfind("~/", 0) == 0) folder.erase(0, 2);
    return folder;
}

std::unique_ptr<IRemoteServer> OpenServer(const TServerLogin& login, IPublishQuestions& questions,
                                          const std::atomic<bool>& cancel) {
    if (login.protocol == TProtocol::Ftps) return OpenFtpsServer(login, questions, cancel);
    if (login.protocol == TProtocol::WebDav) return OpenWebDavServer(login, questions, cancel);
    if (login.protocol == TProtocol::S3) return OpenS3Server(login, questions, cancel);
    return OpenSftpServer(login, questions, cancel);
}

// One record per way, server, login and folder.
std::string RecordName(const TServerLogin& login, const std::string& base) {
    if (login.protocol == TProtocol::WebDav) return "webdav " + login.user + "@" + login.address + " " + base;
    if (login.protocol == TProtocol::S3)
        return "s3 " + login.user + "@" + login.address + " " + login.bucket + " " + base;
    const std::string scheme = login.protocol == TProtocol::Sftp ? "sftp" : "ftps";
    return scheme + " " + login.user + "@" + login.host + ":" + std::to_string(login.port) + " " + base;
}

}  // namespace

TPublishResult Publish(const TPublishPlan& plan, const TServerLogin& login, const std::filesystem::path& recordFolder,
                       IPublishQuestions& questions, IPublishProgress& progress, const std::atomic<bool>& cancel,
                       int pictureSide) {
    TPublishResult result;
    const std::string base = BaseFolder(login.folder);
    try {
        TSentRecord record(recordFolder, RecordName(login, base));
        // Rebuilt before connecting, so that the question comes first and the
        // server waits for nothing.
        const TWebCopies copies = MakeWebCopies(plan, record, pictureSide, progress, cancel);
        const pictures::TPicturesDone done = copies.Done();
        const std::vector<std::string> notCleanable = copies.NotCleanable(plan);
        if (!cancel && (!notCleanable.empty() || !pictures::DoneLine(done).empty()) &&
            !questions.MaySendPictures(done, notCleanable))
            result.cancelled = true;
        if (cancel || result.cancelled) {
            result.cancelled = true;
            result.error = TTransferError(TFault::Cancelled);
            return result;
        }
        std::unique_ptr<IRemoteServer> server = OpenServer(login, questions, cancel);
        result.byPassword = server->LoggedInByPassword();
        RunPublishSteps(plan, copies, *server, base, record, progress, cancel, result);
    } catch (const TTransferError& error) {
        result.error = error;
    } catch (const std::exception& error) {
        result.error = TTransferError(TFault::PublishFailed, {}, TCause::None, error.what());
    }
    // A cancel may also have ended a wait for the server.
    if (cancel) result.cancelled = true;
    if (result.cancelled && !result.error) result.error = TTransferError(TFault::Cancelled);
    return result;
}

}  // namespace transfer
