// A PROPFIND reply of any bytes, whole and in two pieces: read the same
// either way, nothing the steps could mistake for the folder itself or a
// path, and every entry written again as a server would send it read back
// as it was.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "transfer/propfind_reply.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool Same(const transfer::TRemoteEntry& a, const transfer::TRemoteEntry& b) {
    return a.name == b.name && a.folder == b.folder && a.size == b.size && a.modified == b.modified;
}

std::string Encoded(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char byte : name) {
        const auto c = static_cast<unsigned char>(byte);
        encoded += '%';
        encoded += kHex[c >> 4];
        encoded += kHex[c & 15];
    }
    return encoded;
}

// As Apache writes it; false where an HTTP date cannot say the time.
bool AsResponse(const transfer::TRemoteEntry& entry, std::string& response) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto seconds = static_cast<std::time_t>(entry.modified);
    std::tm time{};
    if (gmtime_r(&seconds, &time) == nullptr || time.tm_year < 1000 - 1900 || time.tm_year > 9999 - 1900) return false;
    char date[40];
    std::snprintf(date, sizeof date, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[time.tm_wday], time.tm_mday,
                  kMonths[time.tm_mon], time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
    response = "<D:response><D:href>/a/" + Encoded(entry.name) + "</D:href><D:propstat><D:prop><D:resourcetype>" +
               (entry.folder ? "<D:collection/>" : "") + "</D:resourcetype><D:getcontentlength>" +
               std::to_string(entry.size) + "</D:getcontentlength><D:getlastmodified>" + date +
               "</D:getlastmodified></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>";
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::optional<transfer::TPropfindListing> whole = transfer::ReadPropfind(reply, "/a/");
    transfer::TPropfindReader reader("/a");
    const std::size_t split = size == 0 ? 0 : data[0] % size;
    const bool fed = reader.Feed(reply.substr(0, split)) && reader.Feed(reply.substr(split));
    const std::optional<transfer::TPropfindListing> pieces = fed ? reader.Finish() : std::nullopt;
    Check(whole.has_value() == pieces.has_value());
    if (!whole) return 0;
    Check(whole->entries.size() == pieces->entries.size());
    for (std::size_t i = 0; i < whole->entries.size(); ++i) {
        const transfer::TRemoteEntry& entry = whole->entries[i];
        Check(Same(entry, pieces->entries[i]));
        Check(!entry.name.empty() && entry.name != "." && entry.name != "..");
        Check(entry.name.find('/') == std::string::npos && entry.name.find('\0') == std::string::npos);
        std::string response;
        if (!AsResponse(entry, response)) continue;
        const std::optional<transfer::TPropfindListing> again = transfer::ReadPropfind(
            "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\">" + response + "</D:multistatus>", "/a");
        Check(again && again->entries.size() == 1 && Same(again->entries[0], entry));
    }
    return 0;
}
