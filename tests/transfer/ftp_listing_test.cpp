// Listings as FTP servers send them, line by line as they came over the
// wire, read without a server.
#include "transfer/ftp_listing.h"

#include <gtest/gtest.h>

#include <ctime>
#include <ostream>

namespace transfer {

// Read as the comparison reads them: the failure message shows each entry.
void PrintTo(const TRemoteEntry& entry, std::ostream* out) {
    std::time_t seconds = entry.modified;
    std::tm time{};
    gmtime_r(&seconds, &time);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &time);
    *out << "{\"" << entry.name << "\"" << (entry.folder ? " folder" : "") << (entry.link ? " link" : "") << " "
         << entry.size << " bytes " << stamp << "}";
}

bool operator==(const TRemoteEntry& a, const TRemoteEntry& b) {
    return a.name == b.name && a.folder == b.folder && a.size == b.size && a.modified == b.modified && a.link == b.link;
}

}  // namespace transfer

namespace {

using transfer::TRemoteEntry;

std::int64_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return timegm(&time);
}

TRemoteEntry File(const char* name, std::uint64_t size, std::int64_t modified) {
    return {name, false, size, modified, false};
}
TRemoteEntry Folder(const char* name, std::uint64_t size, std::int64_t modified) {
    return {name, true, size, modified, false};
}
TRemoteEntry Link(const char* name, std::uint64_t size, std::int64_t modified) {
    return {name, false, size, modified, true};
}

const std::int64_t kNow = Utc(2026, 12, 8, 17, 0);

struct TRow {
    const char* name;
    const char* text;
    std::vector<TRemoteEntry> entries;
    std::int64_t now = kNow;
};

TEST(FtpListing, ReadsListLines) {
    const TRow kRows[] = {
        {"vsftpd, this year's time",
         "-rw-r--r--    1 1000     1000         1234 Dec 08 12:26 index.html\r\n",
         {File("index.html", 1234, Utc(2026, 12, 8, 12, 26))}},
        {"proftpd, an older file's year and a name with spaces",
         "-rw-r--r--   1 ftp      ftp        524288 Jan 15  2024 bild 1.jpg\r\n",
         {File("bild 1.jpg", 524288, Utc(2024, 1, 15))}},
        {"pure-ftpd, a folder",
         "drwxr-xr-x    2 1000       users            4096 Nov 30 09:05 bilder\r\n",
         {Folder("bilder", 4096, Utc(2026, 11, 30, 9, 5))}},
        {"a link by its own name",
         "lrwxrwxrwx    1 ftp      ftp            10 Dec  1 08:00 alt -> neu/ziel\r\n",
         {Link("alt", 10, Utc(2026, 12, 1, 8, 0))}},
        {"the total, . and .. passed over",
         "total 12\r\n"
         "drwxr-xr-x    3 ftp      ftp          4096 Dec  8 12:26 .\r\n"
         "drwxr-xr-x    9 ftp      ftp          4096 Nov  2  2025 ..\r\n"
         "-rw-r--r--    1 ftp      ftp             3 Dec  8 12:27 a\r\n",
         {File("a", 3, Utc(2026, 12, 8, 12, 27))}},
        {"no group, spaces kept inside the name",
         "-rw-r--r-- 1 ftp 17 Oct 31 23:59 a  b.txt\n",
         {File("a  b.txt", 17, Utc(2026, 10, 31, 23, 59))}},
        // Early in the year December's files are last year's; a month
        // ahead stays this year's, for a server clock a little ahead.
        {"a later month is last year's",
         "-rw-r--r-- 1 ftp ftp 1 Dec 31 23:59 silvester\r\n"
         "-rw-r--r-- 1 ftp ftp 2 Feb  1 00:00 februar\r\n"
         "-rw-r--r-- 1 ftp ftp 3 Mar 20 10:00 maerz\r\n",
         {File("silvester", 1, Utc(2025, 12, 31, 23, 59)), File("februar", 2, Utc(2026, 2, 1)),
          File("maerz", 3, Utc(2025, 3, 20, 10, 0))},
         Utc(2026, 1, 5, 9, 0)},
        {"IIS, a folder and a file in the afternoon and the morning",
         "12-08-26  12:26PM       <DIR>          bilder\r\n"
         "12-08-26  09:05AM              1234 a b.jpg\r\n"
         "12-08-26  09:05PM                 7 abend.txt\r\n",
         {Folder("bilder", 0, Utc(2026, 12, 8, 12, 26)), File("a b.jpg", 1234, Utc(2026, 12, 8, 9, 5)),
          File("abend.txt", 7, Utc(2026, 12, 8, 21, 5))}},
        {"IIS with four-digit years, midnight and a 24-hour clock",
         "12-08-2026  12:05AM                 5 nacht.txt\r\n"
         "01-15-99  23:10                 6 alt.txt\r\n",
         {File("nacht.txt", 5, Utc(2026, 12, 8, 0, 5)), File("alt.txt", 6, Utc(1999, 1, 15, 23, 10))}},
        {"each line by its own shape, the rest passed over",
         "12-08-26  09:05AM  1 dos\n"
         "-rw-r--r-- 1 ftp ftp 2 Dec  8 12:26 unix\n"
         "226 Transfer complete\n"
         "-rw-r--r-- 1 ftp ftp x Dec  8 12:26 no size\n"
         "-rw-r--r-- 1 ftp ftp 3 Dec  8 -202 signed year\n"
         "13-08-26  09:05AM  1 no month\n",
         {File("dos", 1, Utc(2026, 12, 8, 9, 5)), File("unix", 2, Utc(2026, 12, 8, 12, 26))}},
        {"a DOS line's day and size at their bounds, one past each passed over",
         "12-31-26  09:05AM  18446744073709551615 voll\r\n"
         "12-01-26  09:05AM  1 erster\r\n"
         "12-32-26  09:05AM  1 zweiunddreissig\r\n"
         "12-00-26  09:05AM  1 null\r\n"
         "12-08-26  09:05AM  018446744073709551615 zu lang\r\n",
         {File("voll", 18446744073709551615u, Utc(2026, 12, 31, 9, 5)), File("erster", 1, Utc(2026, 12, 1, 9, 5))}},
    };
    for (const TRow& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(transfer::ParseList(row.text, row.now), row.entries);
    }
}

TEST(FtpListing, ReadsMlsdLines) {
    const TRow kRows[] = {
        {"a file",
         "type=file;size=1234;modify=20261208122600;UNIX.mode=0644; index.html\r\n",
         {File("index.html", 1234, Utc(2026, 12, 8, 12, 26))}},
        {"facts in any order and case, a fraction of a second",
         "Modify=20261208122601.123;Size=5;Type=File; a b.jpg\r\n",
         {File("a b.jpg", 5, Utc(2026, 12, 8, 12, 26, 1))}},
        {"the folder itself and its parent passed over",
         "type=cdir;modify=20261208122600; /pub\r\n"
         "type=pdir;modify=20261208122600; ..\r\n"
         "type=dir;modify=20261130090500; bilder\r\n"
         "type=dir;modify=20261130090500; .\r\n",
         {Folder("bilder", 0, Utc(2026, 11, 30, 9, 5))}},
        {"links listed as themselves",
         "type=OS.unix=slink:/srv/ziel;size=10;modify=20261201080000; alt\r\n"
         "Type=OS.unix=symlink;modify=20261201080000; neu\r\n",
         {Link("alt", 10, Utc(2026, 12, 1, 8, 0)), Link("neu", 0, Utc(2026, 12, 1, 8, 0))}},
        {"what is not understood",
         "nofacts\r\n"
         "type=file;size=big;modify=yesterday; odd\r\n"
         "type=file;size=1;modify=200; short time\r\n"
         "type=file;size=1;  leading space\r\n",
         {File("odd", 0, 0), File("short time", 1, 0), File(" leading space", 1, 0)}},
    };
    for (const TRow& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(transfer::ParseMlsd(row.text), row.entries);
    }
}

}  // namespace
