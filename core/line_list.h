#pragma once

#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace core {

// The lines of a page, Windows-1252 bytes, each without its terminator. A
// line is exactly what was appended; a CR or LF inside it stays part of that
// line.
class TLineList {
public:
    using const_iterator = std::vector<std::string>::const_iterator;
    using iterator = const_iterator;
    using value_type = std::string;
    using size_type = std::size_t;

    TLineList() = default;
    TLineList(std::initializer_list<std::string_view> lines) : TLineList(lines.begin(), lines.end()) {}
    template <std::input_iterator Iterator>
    TLineList(Iterator first, Iterator last) {
        for (; first != last; ++first) push_back(*first);
    }

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& operator[](std::size_t index) const { return lines_[index]; }
    const std::string& front() const { return lines_.front(); }
    const std::string& back() const { return lines_.back(); }
    const_iterator begin() const { return lines_.begin(); }
    const_iterator end() const { return lines_.end(); }

    void push_back(std::string_view line) { lines_.emplace_back(line); }

    // One line made of the parts in order.
    template <typename... Parts>
    void Append(const Parts&... parts) {
        std::string line;
        line.reserve((std::string_view(parts).size() + ... + 0));
        (line.append(std::string_view(parts)), ...);
        lines_.push_back(std::move(line));
    }

    // Every line followed by CR LF: the page file's bytes.
    std::string FileBytes() const;

    friend bool operator==(const TLineList& a, const TLineList& b) = default;

private:
    std::vector<std::string> lines_;
};

}  // namespace core
