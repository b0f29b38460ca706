#pragma once

// Scratch directories and byte-exact file access for every test, with and
// without Qt. Paths may be longer than PATH_MAX: they are walked one
// component at a time.

#include <string>

namespace testsupport {

// The file's bytes, or "<missing>".
std::string ReadFileBytes(const std::string& path);
// False when the file cannot be written whole.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Every byte a descriptor gives until its end or an error.
std::string ReadAllFrom(int fd);
// False when not every byte could be written.
bool WriteAllTo(int fd, const std::string& bytes);
// Creates every missing directory of the path; false when it cannot.
bool MakeDirectories(const std::string& path);

// One line per entry, sorted: "name" for a file, "name/" for a directory,
// "name -> target" for a link; "<missing>" when the directory cannot be read.
std::string DirectoryListing(const std::string& path = ".");

// While it lives, a fresh directory is the working directory, as the
// program's folder is; it goes with everything in it, read-only folders too.
class TWorkDir {
public:
    TWorkDir();
    ~TWorkDir();
    TWorkDir(const TWorkDir&) = delete;
    TWorkDir& operator=(const TWorkDir&) = delete;
    const std::string& path() const { return dir_; }

private:
    std::string dir_;
    std::string old_;
};

}  // namespace testsupport
