#include "transfer/curl_handle.h"

#include "transfer/publish.h"

namespace transfer {

TCurl NewCurl() {
    // Once per process and before any thread's first handle: the set-up is
    // not safe to run twice at the same time.
    static const CURLcode setUp = curl_global_init(CURL_GLOBAL_DEFAULT);
    TCurl handle(setUp == CURLE_OK ? curl_easy_init() : nullptr);
    if (!handle) throw TTransferError("Die Bibliothek für FTPS und HTTP (libcurl) lässt sich nicht einrichten.");
    return handle;
}

}  // namespace transfer
