#pragma once

// What both listing targets check of what a parser made of a server's
// listing: each line read on its own as in the whole, no entry the steps
// could mistake for the folder itself, and every entry written again as an
// MLSD line read back as it was.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/ftp_listing.h"

namespace fuzzing {

using TParse = std::function<std::vector<transfer::TRemoteEntry>(std::string_view)>;

inline void Check(bool condition) {
    if (!condition) std::abort();
}

inline bool Same(const transfer::TRemoteEntry& a, const transfer::TRemoteEntry& b) {
    return a.name == b.name && a.folder == b.folder && a.size == b.size && a.modified == b.modified && a.link == b.link;
}

// The entry as an MLSD line, where its time has four digits of year.
inline bool AsMlsd(const transfer::TRemoteEntry& entry, std::string& line) {
    const auto seconds = static_cast<std::time_t>(entry.modified);
    std::tm time{};
    if (gmtime_r(&seconds, &time) == nullptr || time.tm_year < -1900 || time.tm_year > 9999 - 1900) return false;
    if (entry.name.find('\n') != std::string::npos || entry.name.back() == '\r') return false;
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", time.tm_year + 1900, time.tm_mon + 1, time.tm_mday,
                  time.tm_hour, time.tm_min, time.tm_sec);
    const char* type = entry.link ? "OS.unix=slink:x" : entry.folder ? "dir" : "file";
    line = std::string("type=") + type + ";size=" + std::to_string(entry.size) + ";modify=" + stamp + "; " +
           entry.name + "\r\n";
    return true;
}

inline void CheckListing(std::string_view text, const TParse& parse) {
    const std::vector<transfer::TRemoteEntry> entries = parse(text);
    std::vector<transfer::TRemoteEntry> byLine;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        for (const transfer::TRemoteEntry& entry : parse(text.substr(0, end))) byLine.push_back(entry);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    Check(byLine.size() == entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const transfer::TRemoteEntry& entry = entries[i];
        Check(Same(entry, byLine[i]));
        Check(!entry.name.empty() && entry.name != "." && entry.name != "..");
        Check(!(entry.folder && entry.link));
        std::string line;
        if (!AsMlsd(entry, line)) continue;
        const std::vector<transfer::TRemoteEntry> again = transfer::ParseMlsd(line);
        // A link's own folder fact is lost with its type: the steps list it.
        Check(again.size() == 1 && Same(again[0], entry));
    }
}

}  // namespace fuzzing
