#pragma once

// The steps of a publish over any protocol, once connected: list each server
// folder once, tidy what an interrupted publish left, send what changed under
// a temporary name and put it in place.

#include "transfer/publish.h"
#include "transfer/remote_server.h"
#include "transfer/sent_record.h"
#include "transfer/web_copies.h"

namespace transfer {

// The server's name of a file below the login folder's `base` ("" is the
// login folder itself, "/srv/www" an absolute one).
std::string ServerPath(const std::string& base, const std::string& relative);

// "bilder/neu" and "a.jpg" of "bilder/neu/a.jpg"; "" is the site's folder.
std::string FolderOf(const std::string& relative);
std::string NameOf(const std::string& relative);
std::string JoinName(const std::string& folder, const std::string& name);

// A name a page of the site gives, as a path from the site's folder: the
// server resolves "../bild.jpg" on "seiten/fotos.html" as a browser does,
// by its spelling.
std::string SiteName(const std::string& pageName, const std::string& name);

// A name only an interrupted publish leaves, beside the file it sends.
bool IsLeftOfAPublish(const std::string& name);

// Fills `result` as it goes; throws TTransferError when it has to stop, and
// the result then holds what was done before. A picture goes as its copy
// in `copies`, or is rebuilt when its turn comes (one the record showed
// unchanged but the server no longer has as sent).
void RunPublishSteps(const TPublishPlan& plan, const TWebCopies& copies, IRemoteServer& server, const std::string& base,
                     TSentRecord& record, IPublishProgress& progress, const std::atomic<bool>& cancel,
                     TPublishResult& result);

}  // namespace transfer
