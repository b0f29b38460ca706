#include "transfer/propfind_reply.h"

#include <expat.h>

#include <charconv>
#include <ctime>

namespace transfer {
namespace {

// Elements of the DAV: namespace, as expat names them with the namespace
// and a space before the local name.
constexpr std::string_view kDav = "DAV: ";
// No reply of a file server nests deeper or says more in one field.
constexpr std::size_t kMostDepth = 32;
constexpr std::size_t kMostText = 16 * 1024;
constexpr std::size_t kMostEntries = 200000;

enum class TField { None, Href, Status, Length, Modified };

// What one <response> said so far. A <propstat>'s properties count only
// when its status is a success, which follows them.
struct TResponse {
    std::optional<std::string> href;
    TRemoteEntry entry;
    TRemoteEntry pending;
    bool propstatOk = false;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The path of an href, which may be a whole address ("https://host/a/b"),
// decoded, its trailing slashes gone.
std::optional<std::string> PathOf(std::string_view href) {
    href = Trimmed(href);
    const std::size_t scheme = href.find("://");
    if (scheme != std::string_view::npos && href.find('/') > scheme) {
        const std::size_t path = href.find('/', scheme + 3);
        href = path == std::string_view::npos ? std::string_view("/") : href.substr(path);
    }
    if (href.empty() || href.front() != '/') return std::nullopt;
    std::optional<std::string> path = PercentDecoded(href);
    while (path && path->size() > 1 && path->back() == '/') path->pop_back();
    return path;
}

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

struct TPropfindReader::TState {
    XML_Parser parser = nullptr;
    std::optional<std::string> asked;
    std::vector<std::string> open;  // the elements open now, outermost first
    std::optional<TResponse> response;
    TField field = TField::None;
    std::string text;
    std::size_t bytes = 0;
    bool multistatus = false;
    bool failed = false;
    TPropfindListing listing;

    ~TState() {
        if (parser != nullptr) XML_ParserFree(parser);
    }

    void Fail() {
        failed = true;
        XML_StopParser(parser, XML_FALSE);
    }

    // The element open at `level` (0: the outermost) is DAV:'s `name`.
    bool Is(std::size_t level, std::string_view name) const {
        if (open.size() <= level) return false;
        const std::string_view element(open[level]);
        return element.size() == kDav.size() + name.size() && element.starts_with(kDav) && element.ends_with(name);
    }

    // multistatus / response / href, propstat / status, prop / property /
    // collection: what a listing needs, by where it stands.
    void Start(const char* name) {
        if (open.size() >= kMostDepth) return Fail();
        open.emplace_back(name);
        field = TField::None;
        text.clear();
        const std::size_t depth = open.size();
        if (depth == 1) {
            multistatus = Is(0, "multistatus");
        } else if (depth == 2 && Is(1, "response")) {
            response.emplace();
        } else if (!response) {
        } else if (depth == 3 && Is(2, "href")) {
            field = TField::Href;
        } else if (depth == 3 && Is(2, "propstat")) {
            response->pending = TRemoteEntry{};
            response->propstatOk = false;
        } else if (depth == 4 && Is(2, "propstat") && Is(3, "status")) {
            field = TField::Status;
        } else if (depth == 5 && Is(2, "propstat") && Is(3, "prop")) {
            if (Is(4, "getcontentlength")) field = TField::Length;
            if (Is(4, "getlastmodified")) field = TField::Modified;
        } else if (depth == 6 && Is(2, "propstat") && Is(3, "prop") && Is(4, "resourcetype") && Is(5, "collection")) {
            response->pending.folder = true;
        }
    }

    void End() {
        if (field != TField::None) Take();
        field = TField::None;
        text.clear();
        const std::size_t depth = open.size();
        if (response && depth == 3 && Is(2, "propstat") && response->propstatOk) {
            TRemoteEntry& entry = response->entry;
            entry.folder = entry.folder || response->pending.folder;
            if (response->pending.size != 0) entry.size = response->pending.size;
            if (response->pending.modified != 0) entry.modified = response->pending.modified;
        }
        if (response && depth == 2 && Is(1, "response")) {
            Finished(*response);
            response.reset();
        }
        open.pop_back();
    }

    void Take() {
        const std::string_view value = Trimmed(text);
        if (field == TField::Href) {
            response->href = std::string(value);
        } else if (field == TField::Status) {
            // "HTTP/1.1 200 OK"
            const std::size_t space = value.find(' ');
            const std::string_view code = space == std::string_view::npos ? "" : value.substr(space + 1, 3);
            response->propstatOk = code.size() == 3 && code[0] == '2' && IsDigits(code);
        } else if (field == TField::Length && IsDigits(value) && value.size() <= 19) {
            std::from_chars(value.data(), value.data() + value.size(), response->pending.size);
        } else if (field == TField::Modified) {
            response->pending.modified = HttpDate(value);
        }
    }

    // The resource asked for, or one directly inside it; any other is none
    // of the listing's business.
    void Finished(TResponse& done) {
        if (!done.href || !asked) return;
        const std::optional<std::string> path = PathOf(*done.href);
        if (!path) return;
        if (*path == *asked) {
            listing.self = done.entry;
            listing.self->name.clear();
            return;
        }
        const std::size_t slash = path->rfind('/');
        const std::string_view parent = slash == 0 ? "/" : std::string_view(*path).substr(0, slash);
        std::string name = path->substr(slash + 1);
        if (parent != *asked || name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
            return;
        if (listing.entries.size() >= kMostEntries) return Fail();
        done.entry.name = std::move(name);
        listing.entries.push_back(std::move(done.entry));
    }
};

namespace {

using TState = TPropfindReader::TState;

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char**) {
    static_cast<TState*>(data)->Start(name);
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
    static_cast<TState*>(data)->End();
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto* state = static_cast<TState*>(data);
    if (state->field == TField::None) return;
    if (state->text.size() + static_cast<std::size_t>(length) > kMostText) return state->Fail();
    state->text.append(text, static_cast<std::size_t>(length));
}

// A reply needs no document type, and an entity could make a few bytes
// into gigabytes: either ends the reading.
void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<TState*>(data)->Fail();
}

void XMLCALL OnEntity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                      const XML_Char*, const XML_Char*) {
    static_cast<TState*>(data)->Fail();
}

}  // namespace

TPropfindReader::TPropfindReader(std::string_view asked) : state_(std::make_unique<TState>()) {
    std::optional<std::string> path = PathOf(asked);
    state_->asked = std::move(path);
    state_->parser = XML_ParserCreateNS(nullptr, ' ');
    if (state_->parser == nullptr) {
        state_->failed = true;
        return;
    }
    XML_SetUserData(state_->parser, state_.get());
    XML_SetElementHandler(state_->parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(state_->parser, OnText);
    XML_SetStartDoctypeDeclHandler(state_->parser, OnDoctype);
    XML_SetEntityDeclHandler(state_->parser, OnEntity);
}

TPropfindReader::~TPropfindReader() = default;

bool TPropfindReader::Feed(std::string_view piece) {
    TState& state = *state_;
    if (state.failed) return false;
    state.bytes += piece.size();
    if (state.bytes > kMostBytes) {
        state.failed = true;
        return false;
    }
    // Pieces beyond what an int counts come in parts.
    while (!piece.empty() && !state.failed) {
        const std::size_t part = std::min<std::size_t>(piece.size(), 1 << 20);
        if (XML_Parse(state.parser, piece.data(), static_cast<int>(part), XML_FALSE) != XML_STATUS_OK)
            state.failed = true;
        piece.remove_prefix(part);
    }
    return !state.failed;
}

std::optional<TPropfindListing> TPropfindReader::Finish() {
    TState& state = *state_;
    if (!state.failed && XML_Parse(state.parser, nullptr, 0, XML_TRUE) != XML_STATUS_OK) state.failed = true;
    if (state.failed || !state.multistatus) return std::nullopt;
    return std::move(state.listing);
}

std::optional<TPropfindListing> ReadPropfind(std::string_view reply, std::string_view asked) {
    TPropfindReader reader(asked);
    if (!reader.Feed(reply)) return std::nullopt;
    return reader.Finish();
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

std::int64_t HttpDate(std::string_view text) {
    // "Sun, 06 Nov 1994 08:49:37 GMT": the weekday is not checked.
    static const std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    text = Trimmed(text);
    const std::size_t comma = text.find(", ");
    if (comma == std::string_view::npos || text.size() != comma + 2 + 24) return 0;
    const std::string_view date = text.substr(comma + 2);
    const auto number = [&](std::size_t at, std::size_t count, int& value) {
        const std::string_view digits = date.substr(at, count);
        return IsDigits(digits) && std::from_chars(digits.data(), digits.data() + count, value).ec == std::errc();
    };
    std::tm time{};
    int year = 0;
    const std::size_t month = kMonths.find(date.substr(3, 3));
    if (!number(0, 2, time.tm_mday) || date[2] != ' ' || month == std::string_view::npos || month % 3 != 0 ||
        date[6] != ' ' || !number(7, 4, year) || date[11] != ' ' || !number(12, 2, time.tm_hour) || date[14] != ':' ||
        !number(15, 2, time.tm_min) || date[17] != ':' || !number(18, 2, time.tm_sec) || date.substr(20) != " GMT")
        return 0;
    if (time.tm_mday < 1 || time.tm_mday > 31 || time.tm_hour > 23 || time.tm_min > 59 || time.tm_sec > 60) return 0;
    time.tm_mon = static_cast<int>(month / 3);
    time.tm_year = year - 1900;
    return static_cast<std::int64_t>(timegm(&time));
}

}  // namespace transfer
