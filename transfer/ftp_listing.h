#pragma once

// A folder's listing as an FTP server sends it, read into entries. The text
// comes from someone else's server: any bytes are read without harm, and a
// line that is not understood is passed over. Pure functions: no clock, no
// connection.

#include <cstdint>
#include <string_view>
#include <vector>

#include "transfer/remote_server.h"

namespace transfer {

// MLSD: "type=file;size=123;modify=20261208122600; name", facts in any
// order and case.
std::vector<TRemoteEntry> ParseMlsd(std::string_view text);

// LIST, each line in the Unix shape ("-rw-r--r-- 1 owner group 1234 Dec  8
// 12:26 name") or the DOS one ("12-08-26  09:05AM  1234 name"). A Unix line
// within the last half year shows a time instead of the year; `now`
// (seconds since the epoch) says which year that is.
std::vector<TRemoteEntry> ParseList(std::string_view text, std::int64_t now);

}  // namespace transfer
