#include "transfer/fetch.h"

#include "transfer/connection.h"
#include "transfer/fetch_steps.h"

namespace transfer {

TFetchResult Fetch(const TFetchOrder& order, const TServerLogin& login, const std::filesystem::path& recordFolder,
                   IPublishQuestions& questions, IPublishProgress& progress, const std::atomic<bool>& cancel) {
    TFetchResult result;
    try {
        const std::string key = RecordKey(login);
        // Settled before the login: a folder that will not do stops it at once.
        TFetchFolder here(order.folder, key);
        std::unique_ptr<IRemoteServer> server = OpenServer(login, questions, cancel);
        result.byPassword = server->LoggedInByPassword();
        TSentRecord record(recordFolder, key);
        RunFetchSteps(order, here, *server, BaseFolder(login.folder), record, progress, cancel, result);
    } catch (const TTransferError& error) {
        result.error = error;
    } catch (const std::exception& error) {
        result.error = TTransferError(TFault::FetchFailed, {}, TCause::None, error.what());
    }
    // A cancel that ended a wait for the server is no failure of its own.
    if (cancel && result.error) result.cancelled = true;
    if (result.cancelled && result.error && result.error->fault() == TFault::Cancelled) result.error.reset();
    return result;
}

}  // namespace transfer
