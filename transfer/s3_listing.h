#pragma once

// Object storage's answers, read without a connection: one page of a
// ListObjectsV2 listing (XML from someone else's server, read within
// bounds), and what each object is sent with.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/remote_server.h"

namespace transfer {

struct TS3Page {
    // The objects directly below the prefix, and the "folders" (common
    // prefixes) there, by their names below it.
    std::vector<TRemoteEntry> entries;
    // Where the next page starts; empty on the last.
    std::string nextToken;
};

// One page of the listing of `prefix` ("" or ending in "/") with "/" as the
// delimiter; nullopt when it is none, or not well-formed, or larger than
// any page can be, or says it goes on without saying where.
std::optional<TS3Page> ReadS3Page(std::string_view reply, std::string_view prefix);

// A time as S3 writes it ("2026-12-10T01:12:32.000Z") in seconds since the
// epoch, the fraction dropped; 0 when it is none.
std::int64_t IsoTime(std::string_view text);

// What an object goes up with: its type by its extension, pages with the
// code page they are written in, and how long a CDN may keep it (pictures
// long, pages briefly, so that a change shows soon).
struct TObjectHeaders {
    const char* contentType;
    const char* cacheControl;
};
TObjectHeaders ObjectHeaders(std::string_view name);

}  // namespace transfer
