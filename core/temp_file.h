#pragma once

// A file written under a hidden name in its folder and renamed once whole:
// a new page beside the old one, so that a failed or interrupted save never
// tears the page; the copy of a page kept while it is overwritten in place;
// a file fetched from a server.

#include <string>

namespace core {

class TTempFile {
public:
    // `folder` is a descriptor of the folder, held open by the caller.
    explicit TTempFile(int folder) : folder_(folder) {}
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile() { Discard(); }

    // False with errno set when the folder refuses the file.
    bool Create();
    int Descriptor() const { return fd_; }
    // False when closing reports a lost write.
    bool Close();
    // Renaming never follows a link: whatever the name holds at that moment
    // is replaced, not what it may point to. Without `replacing`, a name
    // taken fails with EEXIST and nothing changes.
    bool RenameTo(const std::string& target, bool replacing);
    void Discard();

private:
    int folder_;
    std::string name_;
    int fd_ = -1;
};

// Flushes the folder's entries (a rename in it) to the disk.
void SyncFolder(int folder);

}  // namespace core
