#pragma once

// What the publishing tests look at in a server's folder, and the files they
// put in a page's folder.

#include <cstddef>
#include <map>
#include <string>

namespace testsupport {

// Bytes no two seeds share, for pictures whose every byte must arrive.
std::string Bytes(std::size_t size, char seed);
// "name" for a file, "name/" for a folder, every level, sorted.
std::string Tree(const std::string& folder);
// Inode and modification time of every file: any rewrite changes them.
std::map<std::string, std::string> Stamps(const std::string& folder);

}  // namespace testsupport
