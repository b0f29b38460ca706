#include "support/server_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace testsupport {

std::string Bytes(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 + i / 251);
    return bytes;
}

std::string Tree(const std::string& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).string();
        entries.push_back(entry.is_directory() ? name + "/" : name);
    }
    std::sort(entries.begin(), entries.end());
    std::string tree;
    for (const std::string& entry : entries) tree += entry + "\n";
    return tree;
}

std::map<std::string, std::string> Stamps(const std::string& folder) {
    std::map<std::string, std::string> stamps;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat st {};
        stat(entry.path().c_str(), &st);
        stamps[entry.path().string()] = std::to_string(st.st_ino) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
                                        std::to_string(st.st_mtim.tv_nsec);
    }
    return stamps;
}

}  // namespace testsupport
