#include "transfer/ftp_listing.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <string>

namespace transfer {
namespace {

constexpr std::string_view kSpaces = " \t";

template <typename TEach>
void ForEachLine(std::string_view text, TEach each) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        each(line);
    }
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Digits only, at most `most` of them (so that any value fits).
template <typename TNumber>
bool Number(std::string_view text, std::size_t most, TNumber& value) {
    if (text.empty() || text.size() > most || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// The server's own time, read as if it were UTC: the comparison needs only
// that an unchanged file shows the same value each time.
std::int64_t Seconds(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return static_cast<std::int64_t>(timegm(&time));
}

// "20261208122600", perhaps with ".123" after it.
std::int64_t UtcSeconds(std::string_view stamp) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (stamp.size() < 14 || !Number(stamp.substr(0, 4), 4, year) || !Number(stamp.substr(4, 2), 2, month) ||
        !Number(stamp.substr(6, 2), 2, day) || !Number(stamp.substr(8, 2), 2, hour) ||
        !Number(stamp.substr(10, 2), 2, minute) || !Number(stamp.substr(12, 2), 2, second))
        return 0;
    return Seconds(year, month - 1, day, hour, minute, second);
}

bool Skipped(std::string_view name) {
    return name.empty() || name == "." || name == "..";
}

struct TWord {
    std::string_view text;
    std::size_t end;  // where it ends in its line
};

std::vector<TWord> Words(std::string_view line) {
    std::vector<TWord> words;
    for (std::size_t start = line.find_first_not_of(kSpaces); start != std::string_view::npos;) {
        const std::size_t end = std::min(line.find_first_of(kSpaces, start), line.size());
        words.push_back({line.substr(start, end - start), end});
        start = line.find_first_not_of(kSpaces, end);
    }
    return words;
}

// The name is all that follows its column, spaces inside it included.
std::string_view Rest(std::string_view line, std::size_t from) {
    const std::size_t start = line.find_first_not_of(kSpaces, from);
    return start == std::string_view::npos ? std::string_view() : line.substr(start);
}

int MonthOf(std::string_view word) {
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    const std::string lower = Lower(word);
    for (int i = 0; i < 12; ++i)
        if (lower == kMonths[i]) return i;
    return -1;
}

bool Clock(std::string_view text, int& hour, int& minute) {
    const std::size_t colon = text.find(':');
    return colon != std::string_view::npos && Number(text.substr(0, colon), 2, hour) &&
           Number(text.substr(colon + 1), 2, minute) && hour < 24 && minute < 60;
}

// "-rw-r--r-- 1 owner group 1234 Dec  8 12:26 name", or "Dec  8  2025"
// for an older file. Some servers leave out the group or the link count,
// so the date is found by its shape: a month, a day, a time or a year.
bool ReadUnixLine(std::string_view line, std::int64_t now, TRemoteEntry& entry) {
    const std::vector<TWord> words = Words(line);
    if (words.size() < 6 || words[0].text.size() < 10) return false;
    for (std::size_t i = 2; i + 3 < words.size(); ++i) {
        const int month = MonthOf(words[i].text);
        int day = 0, hour = 0, minute = 0, year = 0;
        if (month < 0 || !Number(words[i + 1].text, 2, day) || day < 1 || day > 31 ||
            !Number(words[i - 1].text, 20, entry.size))
            continue;
        const std::string_view clock = words[i + 2].text;
        if (Clock(clock, hour, minute)) {
            // Within the last half year, so no year is shown: this year's,
            // unless that lies more than a month ahead.
            const auto seconds = static_cast<std::time_t>(now);
            std::tm today{};
            gmtime_r(&seconds, &today);
            year = today.tm_year + 1900;
            if (month > today.tm_mon + 1) year -= 1;
        } else if (!Number(clock, 4, year)) {
            continue;
        }
        entry.modified = Seconds(year, month, day, hour, minute);
        entry.folder = words[0].text[0] == 'd';
        entry.link = words[0].text[0] == 'l';
        std::string_view name = Rest(line, words[i + 2].end);
        if (entry.link) name = name.substr(0, name.find(" -> "));
        entry.name = std::string(name);
        return true;
    }
    return false;
}

// "12-08-26  12:26PM       <DIR>          bilder" or
// "12-08-2026  09:05              1234 a b.jpg": month, day, year first.
bool ReadDosLine(std::string_view line, TRemoteEntry& entry) {
    const std::vector<TWord> words = Words(line);
    if (words.size() < 4) return false;
    const std::string_view date = words[0].text;
    int month = 0, day = 0, year = 0, hour = 0, minute = 0;
    if (date.size() < 8 || date[2] != '-' || date[5] != '-' || !Number(date.substr(0, 2), 2, month) ||
        !Number(date.substr(3, 2), 2, day) || !Number(date.substr(6), 4, year) || month < 1 || month > 12 || day < 1 ||
        day > 31)
        return false;
    if (date.size() == 8) year += year < 70 ? 2000 : 1900;
    std::string_view clock = words[1].text;
    const std::string half = clock.size() > 2 ? Lower(clock.substr(clock.size() - 2)) : std::string();
    if (half == "am" || half == "pm") clock.remove_suffix(2);
    if (!Clock(clock, hour, minute)) return false;
    if (half == "am" || half == "pm") {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (half == "pm" ? 12 : 0);
    }
    entry.folder = words[2].text == "<DIR>";
    if (!entry.folder && !Number(words[2].text, 20, entry.size)) return false;
    entry.modified = Seconds(year, month - 1, day, hour, minute);
    entry.name = std::string(Rest(line, words[2].end));
    return true;
}

}  // namespace

std::vector<TRemoteEntry> ParseMlsd(std::string_view text) {
    std::vector<TRemoteEntry> entries;
    ForEachLine(text, [&](std::string_view line) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) return;
        TRemoteEntry entry;
        entry.name = std::string(line.substr(space + 1));
        std::string type;
        std::string_view facts = line.substr(0, space);
        while (!facts.empty()) {
            const std::size_t end = facts.find(';');
            const std::string_view fact = facts.substr(0, end);
            facts = end == std::string_view::npos ? std::string_view() : facts.substr(end + 1);
            const std::size_t equals = fact.find('=');
            if (equals == std::string_view::npos) continue;
            const std::string key = Lower(fact.substr(0, equals));
            const std::string_view value = fact.substr(equals + 1);
            if (key == "type")
                type = Lower(value);
            else if (key == "size" && !Number(value, 20, entry.size))
                entry.size = 0;
            else if (key == "modify")
                entry.modified = UtcSeconds(value);
        }
        if (type == "cdir" || type == "pdir" || Skipped(entry.name)) return;
        entry.folder = type == "dir";
        // Servers that list a link as itself ("OS.unix=slink:/target",
        // "OS.unix=symlink") leave open where it leads.
        entry.link = type.rfind("os.unix=slink", 0) == 0 || type.rfind("os.unix=symlink", 0) == 0;
        entries.push_back(std::move(entry));
    });
    return entries;
}

std::vector<TRemoteEntry> ParseList(std::string_view text, std::int64_t now) {
    std::vector<TRemoteEntry> entries;
    ForEachLine(text, [&](std::string_view line) {
        TRemoteEntry entry;
        // Each line by its own shape: a DOS line starts with its date.
        const bool dos = !line.empty() && line[0] >= '0' && line[0] <= '9';
        if (!(dos ? ReadDosLine(line, entry) : ReadUnixLine(line, now, entry)) || Skipped(entry.name)) return;
        entries.push_back(std::move(entry));
    });
    return entries;
}

}  // namespace transfer
