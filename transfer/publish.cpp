#include "transfer/publish.h"

#include "transfer/connection.h"
#include "transfer/publish_steps.h"
#include "transfer/web_copies.h"

namespace transfer {

TPublishResult Publish(const TPublishPlan& plan, const TServerLogin& login, const std::filesystem::path& recordFolder,
                       IPublishQuestions& questions, IPublishProgress& progress, const std::atomic<bool>& cancel,
                       int pictureSide) {
    TPublishResult result;
    const std::string base = BaseFolder(login.folder);
    try {
        TSentRecord record(recordFolder, RecordKey(login));
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
