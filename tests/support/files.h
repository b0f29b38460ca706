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

// A fresh folder under /tmp, gone with everything in it when this goes,
// read-only folders too, also when the fixture holding it fails to start.
class TScratchFolder {
public:
    explicit TScratchFolder(const std::string& what = "test");
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// While it lives, a fresh scratch folder is the working directory, as the
// program's folder is.
class TWorkDir {
public:
    TWorkDir();
    ~TWorkDir();
    const std::string& path() const { return folder_.path(); }

private:
    TScratchFolder folder_;
    std::string old_;
};

}  // namespace testsupport
