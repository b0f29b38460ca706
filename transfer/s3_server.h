#pragma once

#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <string>

#include "transfer/publish.h"
#include "transfer/remote_server.h"
#include "transfer/server_address.h"

namespace transfer {

// Where objects go: the endpoint, the region and the bucket. An endpoint
// whose host starts with the bucket's name and a "." names the bucket
// itself (virtual-host style, "https://seite.s3.eu-central-1.…"); any
// other gets the bucket in the path ("https://s3.example.com/seite/…").
struct TS3Place {
    TWebAddress endpoint;
    std::string region;
    std::string bucket;
    bool bucketInHost = false;
};

// Throws TTransferError for an endpoint that is no https:// address (but on
// 127.0.0.1), or a missing bucket or region.
TS3Place S3Place(const TServerLogin& login);

// The address of the object `key` ("" for the bucket itself), with the
// query as given (already in its canonical order).
std::string S3Url(const TS3Place& place, const std::string& key, const std::string& query = {});

// The handle's request signed with AWS Signature Version 4 by libcurl, for
// the place's region and S3, with every header the request carries; its
// x-amz-content-sha256 header says what the body's digest is.
void SignS3(CURL* curl, const TS3Place& place, const std::string& accessKey, const std::string& secretKey);

// Object storage over HTTPS: a bucket's keys below the folder as the
// server's files. An upload replaces an object whole, so no temporary name
// is needed; the certificate is checked and pinned as for FTPS. Throws
// TTransferError when it cannot be reached, the keys are refused or the
// bucket is not there.
std::unique_ptr<IRemoteServer> OpenS3Server(const TServerLogin& login, IPublishQuestions& questions,
                                            const std::atomic<bool>& cancel);

}  // namespace transfer
