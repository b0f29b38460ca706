#include "core/line_list.h"

namespace core {

std::string TLineList::FileBytes() const {
    std::size_t size = 0;
    for (const std::string& line : lines_) size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines_) bytes.append(line).append("\r\n");
    return bytes;
}

}  // namespace core
