#pragma once

// What every way through libcurl shares (FTPS, WebDAV, object storage): the
// local file read piece by piece for an upload and written for a download,
// the certificate asked about and pinned before anything else is sent, and
// the faults of reaching a server.

#include <curl/curl.h>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "transfer/certificate_check.h"
#include "transfer/publish.h"
#include "transfer/remote_server.h"

namespace transfer {

struct TFreeList {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using TCurlList = std::unique_ptr<curl_slist, TFreeList>;

// Appends the line to the list; throws when there is no memory for it.
void Append(TCurlList& list, const std::string& line);

// For CURLOPT_WRITEFUNCTION: the reply kept in a std::string.
std::size_t AppendText(char* data, std::size_t size, std::size_t count, void* text);

// The local file, piece by piece from its start; `sent` hears after each
// piece how far it got and may stop it.
struct TUpload {
    int in = -1;
    const std::function<bool(std::uint64_t)>* sent = nullptr;
    std::uint64_t done = 0;
    bool stopped = false;
    bool unreadable = false;
    std::exception_ptr failure;
};

// For CURLOPT_READFUNCTION and CURLOPT_SEEKFUNCTION (an HTTP request sent
// again, as after an authentication challenge) with a TUpload.
std::size_t ReadPiece(char* buffer, std::size_t size, std::size_t count, void* upload);
int SeekPiece(void* upload, curl_off_t offset, int origin);
// Sets both on the handle.
void ReadFrom(CURL* curl, TUpload& upload);
// libcurl makes a request once more when the connection it kept died
// under it; once part of an upload went, a server that is gone then
// refuses the new connection, or ends it during the handshake. What the user learns is that the line was
// cut while writing: the code as such.
CURLcode AsSent(CURLcode code, const TUpload& upload);

// A download into an open local file at its position, at most `most`
// bytes kept; `received` hears after each piece and may stop it.
struct TDownload {
    int out = -1;
    std::uint64_t most = 0;
    const std::function<bool(std::uint64_t)>* received = nullptr;
    std::uint64_t done = 0;
    bool tooLarge = false;
    bool stopped = false;
    bool unwritable = false;
    std::exception_ptr failure;
};

// Sets the write function, the bound and the download on the handle.
void WriteTo(CURL* curl, TDownload& download);
// How it ended once libcurl returned `code`, or nullopt when libcurl's
// own fault is to be told; throws what the callbacks met.
std::optional<TDownloaded> DownloadEnd(const TDownload& download, CURLcode code, const std::string& remote);

// Where a way through libcurl connects, as its messages and pins name it.
struct TServerPlace {
    std::string host;
    int port = 0;
    std::string server;   // "host", or "host:port" where the port is not the way's own
    std::string service;  // what should answer there, as the user knows it: "FTP", "WebDAV"
    std::filesystem::path trustFolder;
};

// Connects and logs in through `logIn`; a certificate that does not verify
// and is not pinned is shown first, and on "Ja" pinned for the server and
// the login made again. Throws when the user says no; returns the login's
// result otherwise.
CURLcode LogInTrusted(TTrust& trust, const TServerPlace& place, IPublishQuestions& questions,
                      const std::function<CURLcode()>& logIn);

// The fault of reaching the server as the user can act on it, when `code`
// is one: no such name, refused, unreachable, no answer, no TLS, the
// certificate changed.
std::optional<TTransferError> ReachError(CURL* curl, CURLcode code, const TTrust& trust, const TServerPlace& place,
                                         const std::string& words);

// A line lost or ended during a transfer.
bool IsCut(CURLcode code);

}  // namespace transfer
