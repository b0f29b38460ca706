#include "transfer/publish.h"

#include "transfer/connection.h"
#include "transfer/publish_steps.h"

namespace transfer {

TPublishResult Publish(const TPublishPlan& plan, const TServerLogin& login, const std::filesystem::path& recordFolder,
                       IPublishQuestions& questions, IPublishProgress& progress, const std::atomic<bool>& cancel) {
    TPublishResult result;
    const std::string base = BaseFolder(login.folder);
    try {
        std::unique_ptr<IRemoteServer> server = OpenServer(login, questions, cancel);
        result.byPassword = server->LoggedInByPassword();
        TSentRecord record(recordFolder, RecordKey(login));
        RunPublishSteps(plan, *server, base, record, progress, cancel, result);
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
