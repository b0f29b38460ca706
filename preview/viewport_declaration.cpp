#include "preview/viewport_declaration.h"

#include <cstddef>

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (Lower(text[i]) != lower[i]) return false;
    return true;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Reads one attribute of a tag from `at` on: its name and value, `at` left
// after it. False at the tag's end.
bool NextAttribute(std::string_view tag, std::size_t& at, std::string_view& name, std::string_view& value) {
    while (at < tag.size() && (IsSpace(tag[at]) || tag[at] == '/')) ++at;
    if (at >= tag.size() || tag[at] == '>') return false;
    const std::size_t nameStart = at;
    while (at < tag.size() && !IsSpace(tag[at]) && tag[at] != '=' && tag[at] != '>') ++at;
    name = tag.substr(nameStart, at - nameStart);
    while (at < tag.size() && IsSpace(tag[at])) ++at;
    value = {};
    if (at >= tag.size() || tag[at] != '=') return true;
    ++at;
    while (at < tag.size() && IsSpace(tag[at])) ++at;
    if (at < tag.size() && (tag[at] == '"' || tag[at] == '\'')) {
        const char quote = tag[at++];
        const std::size_t end = tag.find(quote, at);
        const std::size_t stop = end == std::string_view::npos ? tag.size() : end;
        value = tag.substr(at, stop - at);
        at = stop + 1;
        return true;
    }
    const std::size_t valueStart = at;
    while (at < tag.size() && !IsSpace(tag[at]) && tag[at] != '>') ++at;
    value = tag.substr(valueStart, at - valueStart);
    return true;
}

bool NamesViewport(std::string_view tag) {
    std::size_t at = 0;
    std::string_view name;
    std::string_view value;
    while (NextAttribute(tag, at, name, value))
        if (SameLetters(name, "name") && SameLetters(value, "viewport")) return true;
    return false;
}

}  // namespace

namespace preview {

// Wherever the page has the tag: a phone honours it in the body as well.
bool DeclaresViewport(std::string_view page) {
    constexpr std::string_view kOpen = "<meta";
    for (std::size_t at = 0; at + kOpen.size() < page.size(); ++at) {
        if (page[at] != '<' || !SameLetters(page.substr(at, kOpen.size()), kOpen)) continue;
        const std::size_t after = at + kOpen.size();
        if (!IsSpace(page[after]) && page[after] != '/') continue;
        // A tag without its end is none; going on after the end keeps a
        // page of unfinished tags from being read again and again.
        const std::size_t end = page.find('>', after);
        if (end == std::string_view::npos) return false;
        if (NamesViewport(page.substr(after, end - after))) return true;
        at = end;
    }
    return false;
}

}  // namespace preview
