#pragma once

// A WebDAV server's answer to PROPFIND (a "multistatus" in XML), read as it
// arrives. It comes from someone else's server: any bytes are read without
// harm, within bounds that do not grow with what the reply claims, and an
// entry that is not understood is passed over. No connection, no clock.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/remote_server.h"

namespace transfer {

// What a reply says of the resource asked for and of what lies directly in
// it; nothing from elsewhere on the server.
struct TPropfindListing {
    std::optional<TRemoteEntry> self;  // its name empty
    std::vector<TRemoteEntry> entries;
};

class TPropfindReader {
public:
    // The most a reply may hold: a folder of many thousands of files.
    static constexpr std::size_t kMostBytes = 64u << 20;

    // `asked`: the path the request named, percent-encoded as it was sent
    // ("/webdav/www/"); a trailing "/" makes no difference.
    explicit TPropfindReader(std::string_view asked);
    ~TPropfindReader();
    TPropfindReader(const TPropfindReader&) = delete;
    TPropfindReader& operator=(const TPropfindReader&) = delete;

    // The next piece of the reply; false once it is no well-formed XML, or
    // declares entities, or grows past the bounds. Nothing more is read then.
    bool Feed(std::string_view piece);
    // nullopt when the reply was not whole, not well-formed, or no
    // multistatus of DAV:.
    std::optional<TPropfindListing> Finish();

    // What the parser's callbacks keep; its own file's business.
    struct TState;

private:
    std::unique_ptr<TState> state_;
};

// The whole reply at once.
std::optional<TPropfindListing> ReadPropfind(std::string_view reply, std::string_view asked);

// "%20" and its kind made bytes again; nullopt for a "%" without two hex
// digits after it.
std::optional<std::string> PercentDecoded(std::string_view text);

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT") in seconds since the
// epoch; 0 when it is none.
std::int64_t HttpDate(std::string_view text);

}  // namespace transfer
