#include "core/line_list.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace core {
namespace {

// On failure the old block stays as it was, still the caller's.
char* Reallocate(char* bytes, std::size_t size) {
    void* const grown = std::realloc(bytes, size);
    if (grown == nullptr) throw std::bad_alloc();
    return static_cast<char*>(grown);
}

}  // namespace

TLineList::TLineList(std::initializer_list<std::string_view> lines) {
    std::size_t bytes = 0;
    for (const std::string_view line : lines) bytes += line.size();
    Reserve(lines.size(), bytes);
    for (const std::string_view line : lines) push_back(line);
}

TLineList::TLineList(const TLineList& other) : starts_(other.starts_) {
    if (other.size_ == 0) return;
    bytes_.reset(Reallocate(nullptr, other.size_));
    std::memcpy(bytes_.get(), other.bytes_.get(), other.size_);
    size_ = capacity_ = other.size_;
}

TLineList::TLineList(TLineList&& other) noexcept
    : bytes_(std::move(other.bytes_)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      starts_(std::move(other.starts_)) {
    other.starts_.clear();
}

TLineList& TLineList::operator=(TLineList other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(starts_, other.starts_);
    return *this;
}

void TLineList::Reserve(std::size_t lines, std::size_t bytes) {
    starts_.reserve(lines);
    const std::size_t needed = bytes + 2 * lines;
    if (needed > capacity_) Grow(needed);
}

// Doubling keeps appending line by line linear.
void TLineList::Grow(std::size_t needed) {
    const std::size_t capacity = std::max(needed, 2 * capacity_);
    char* const grown = Reallocate(bytes_.get(), capacity);
    static_cast<void>(bytes_.release());  // realloc has moved or kept it
    bytes_.reset(grown);
    capacity_ = capacity;
}

}  // namespace core
