#pragma once

// The local record of what was sent to one server folder: for each file the
// content sent and what the server reported for it afterwards, so that a
// later publish sends only what changed here or there.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace transfer {

// The local file's size and digest, and the digest of the bytes that went
// up: another where a picture went without its location.
struct TSentFile {
    std::uint64_t size = 0;
    std::string sha256;
    std::string sentSha256;
    std::uint64_t serverSize = 0;
    std::int64_t serverModified = 0;
    // The local file's modification time when its digest was taken (see
    // StampFile); 0 when unknown, and the file is then read again.
    std::int64_t modified = 0;
    // A picture's longer side, and the side its web copy was scaled to
    // (pictures::kNoScaling: its own size); 0 and 0 for a file that is no
    // picture, -1 when not recorded (the file is then looked at again).
    int pictureSide = -1;
    int builtFor = 0;
};

class TSentRecord {
public:
    // The record for this server and folder in `recordFolder`; empty when
    // none was kept yet or it cannot be read (everything is then sent).
    TSentRecord(const std::filesystem::path& recordFolder, const std::string& serverAndFolder);

    // Also a file whose sending began but never finished: its digest is
    // then empty, which no file's content matches.
    const TSentFile* Find(const std::string& file) const;
    const std::map<std::string, TSentFile>& files() const { return files_; }
    // Noted and written at once, so that an interrupted publish keeps what
    // it finished. Throws TTransferError when the record cannot be written.
    void Note(const std::string& file, const TSentFile& sent);
    // Before a file not in the record is first sent: whatever an
    // interruption leaves under its temporary or backup name is then known
    // as this program's, also once the page no longer names the file.
    void NoteSending(const std::string& file);
    // Noted, and written with the next Note or Flush: what comes in
    // hundreds of small files is not written hundreds of times.
    void NoteLater(const std::string& file, const TSentFile& sent);
    // A file found unchanged by its digest although its time was not the
    // recorded one: the time is kept for the next publish, written with the
    // next Note or Flush; lost with an interruption, it costs one more read.
    void NoteModified(const std::string& file, std::int64_t modified);
    // The same for what the file was found to be: a picture of that side
    // (or 0) whose web copy for `builtFor` is what went up.
    void NotePicture(const std::string& file, int pictureSide, int builtFor);
    void Flush();

private:
    void Save();

    std::filesystem::path file_;
    std::string serverAndFolder_;
    std::map<std::string, TSentFile> files_;
    bool unsaved_ = false;
};

}  // namespace transfer
