#include "transfer/s3_listing.h"

#include <expat.h>

#include <charconv>
#include <ctime>
#include <memory>

namespace transfer {
namespace {

// A page holds at most 1,000 keys of at most 1,024 bytes each.
constexpr std::size_t kMostBytes = 4u << 20;
constexpr std::size_t kMostDepth = 8;
constexpr std::size_t kMostText = 4096;

// The local name: S3's namespace differs between servers, so it counts
// for nothing.
std::string_view Local(const char* name) {
    const std::string_view full(name);
    const std::size_t colon = full.rfind(':');
    return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

struct TEntryText {
    std::string key, size, modified;
};

struct TParse {
    XML_Parser parser = nullptr;
    std::vector<std::string> open;
    std::string text;
    TEntryText entry;
    std::string truncated, nextToken;
    std::vector<TEntryText> objects;
    std::vector<std::string> prefixes;
    bool failed = false;

    bool At(std::initializer_list<std::string_view> path) const {
        if (open.size() != path.size()) return false;
        std::size_t i = 0;
        for (const std::string_view name : path)
            if (open[i++] != name) return false;
        return true;
    }

    void Fail() {
        failed = true;
        XML_StopParser(parser, XML_FALSE);
    }

    void Start(const char* name) {
        if (open.size() >= kMostDepth) return Fail();
        open.emplace_back(Local(name));
        text.clear();
        if (At({"ListBucketResult", "Contents"})) entry = {};
    }

    void End() {
        if (At({"ListBucketResult", "Contents", "Key"})) entry.key = text;
        if (At({"ListBucketResult", "Contents", "Size"})) entry.size = text;
        if (At({"ListBucketResult", "Contents", "LastModified"})) entry.modified = text;
        if (At({"ListBucketResult", "Contents"})) objects.push_back(entry);
        if (At({"ListBucketResult", "CommonPrefixes", "Prefix"})) prefixes.push_back(text);
        if (At({"ListBucketResult", "IsTruncated"})) truncated = text;
        if (At({"ListBucketResult", "NextContinuationToken"})) nextToken = text;
        open.pop_back();
        text.clear();
    }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char**) {
    static_cast<TParse*>(data)->Start(name);
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
    static_cast<TParse*>(data)->End();
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto* parse = static_cast<TParse*>(data);
    if (parse->text.size() + static_cast<std::size_t>(length) > kMostText) return parse->Fail();
    parse->text.append(text, static_cast<std::size_t>(length));
}

// No listing needs a document type, and entities could grow without end.
void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<TParse*>(data)->Fail();
}

struct TFreeParser {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// A name directly below the prefix, or nullopt.
std::optional<std::string> Below(std::string_view key, std::string_view prefix) {
    if (key.size() <= prefix.size() || key.substr(0, prefix.size()) != prefix) return std::nullopt;
    std::string name(key.substr(prefix.size()));
    if (name.find('/') != std::string::npos || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return std::nullopt;
    return name;
}

}  // namespace

std::optional<TS3Page> ReadS3Page(std::string_view reply, std::string_view prefix) {
    if (reply.size() > kMostBytes) return std::nullopt;
    TParse parse;
    const std::unique_ptr<XML_ParserStruct, TFreeParser> parser(XML_ParserCreate(nullptr));
    if (!parser) return std::nullopt;
    parse.parser = parser.get();
    XML_SetUserData(parser.get(), &parse);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    if (XML_Parse(parser.get(), reply.data(), static_cast<int>(reply.size()), XML_TRUE) != XML_STATUS_OK ||
        parse.failed)
        return std::nullopt;
    TS3Page page;
    for (const TEntryText& object : parse.objects) {
        std::optional<std::string> name = Below(object.key, prefix);
        if (!name) continue;
        TRemoteEntry entry{std::move(*name)};
        if (IsDigits(object.size) && object.size.size() <= 19)
            std::from_chars(object.size.data(), object.size.data() + object.size.size(), entry.size);
        entry.modified = IsoTime(object.modified);
        page.entries.push_back(std::move(entry));
    }
    for (std::string_view folder : parse.prefixes) {
        if (folder.empty() || folder.back() != '/') continue;
        folder.remove_suffix(1);
        if (std::optional<std::string> name = Below(folder, prefix)) page.entries.push_back({std::move(*name), true});
    }
    if (parse.truncated == "true") {
        if (parse.nextToken.empty()) return std::nullopt;
        page.nextToken = parse.nextToken;
    }
    return page;
}

std::int64_t IsoTime(std::string_view text) {
    // "2026-12-10T01:12:32.000Z"; the fraction may be missing or longer.
    if (text.size() < 20 || text.back() != 'Z') return 0;
    const auto number = [&](std::size_t at, std::size_t count, int& value) {
        const std::string_view digits = text.substr(at, count);
        return IsDigits(digits) && std::from_chars(digits.data(), digits.data() + count, value).ec == std::errc();
    };
    std::tm time{};
    int year = 0, month = 0;
    if (!number(0, 4, year) || text[4] != '-' || !number(5, 2, month) || text[7] != '-' ||
        !number(8, 2, time.tm_mday) || text[10] != 'T' || !number(11, 2, time.tm_hour) || text[13] != ':' ||
        !number(14, 2, time.tm_min) || text[16] != ':' || !number(17, 2, time.tm_sec))
        return 0;
    const std::string_view rest = text.substr(19, text.size() - 20);
    if (!rest.empty() && (rest.front() != '.' || !IsDigits(rest.substr(1)))) return 0;
    if (month < 1 || month > 12 || time.tm_mday < 1 || time.tm_mday > 31 || time.tm_hour > 23 || time.tm_min > 59 ||
        time.tm_sec > 60)
        return 0;
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    return static_cast<std::int64_t>(timegm(&time));
}

TObjectHeaders ObjectHeaders(std::string_view name) {
    static const struct {
        std::string_view extension;
        TObjectHeaders headers;
    } kTypes[] = {
        // Pages change with each edit: a visitor sees the new one within minutes.
        {".html", {"text/html; charset=windows-1252", "public, max-age=300"}},
        {".htm", {"text/html; charset=windows-1252", "public, max-age=300"}},
        {".css", {"text/css; charset=windows-1252", "public, max-age=300"}},
        {".txt", {"text/plain; charset=windows-1252", "public, max-age=300"}},
        // Pictures rarely change under their name: a CDN keeps them a week.
        {".jpg", {"image/jpeg", "public, max-age=604800"}},
        {".jpeg", {"image/jpeg", "public, max-age=604800"}},
        {".png", {"image/png", "public, max-age=604800"}},
        {".gif", {"image/gif", "public, max-age=604800"}},
        {".webp", {"image/webp", "public, max-age=604800"}},
        {".svg", {"image/svg+xml", "public, max-age=604800"}},
        {".ico", {"image/x-icon", "public, max-age=604800"}},
        {".bmp", {"image/bmp", "public, max-age=604800"}},
        {".tif", {"image/tiff", "public, max-age=604800"}},
        {".tiff", {"image/tiff", "public, max-age=604800"}},
        {".pdf", {"application/pdf", "public, max-age=86400"}},
    };
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && name.find('/', dot) == std::string_view::npos) {
        std::string extension(name.substr(dot));
        for (char& c : extension)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        for (const auto& type : kTypes)
            if (type.extension == extension) return type.headers;
    }
    return {"application/octet-stream", "public, max-age=86400"};
}

}  // namespace transfer
