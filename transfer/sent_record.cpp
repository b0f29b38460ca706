#include "transfer/sent_record.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "transfer/file_digest.h"
#include "transfer/publish.h"

namespace transfer {
namespace {

// Stands for the empty digest of a file whose sending began, so that the
// fields stay apart.
const std::string kNoDigest = "-";
// Records since pictures go up without their location name the sent
// bytes' digest and the local file's time too; since pictures are rebuilt
// for the web, what each file is and the side its copy was built for. One
// without them was written before: everything in it went up as it was here
// (or cleaned the old way), each file is read again, each picture rebuilt,
// and an older program sends everything again rather than misread this
// one's.
const std::string kHeader = "#3 ";
const std::string kHeaderCleaned = "#2 ";
const std::string kHeaderBefore = "# ";

// One file a line, its name last; a name may hold any byte but these two.
std::string Escaped(const std::string& name) {
    std::string out;
    for (const char c : name) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            out += text[i] == 'n' ? '\n' : text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

// Readable enough to find by hand, unique by the digest of the whole key.
std::string RecordFileName(const std::string& serverAndFolder) {
    std::string readable;
    for (const char c : serverAndFolder.substr(0, serverAndFolder.find(' ', serverAndFolder.find(' ') + 1))) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '-' || c == '_';
        readable += plain ? c : '_';
    }
    return readable + "-" + Sha256Hex(serverAndFolder).substr(0, 16) + ".txt";
}

}  // namespace

TSentRecord::TSentRecord(const std::filesystem::path& recordFolder, const std::string& serverAndFolder)
    : file_(recordFolder / RecordFileName(serverAndFolder)), serverAndFolder_(serverAndFolder) {
    std::ifstream in(file_, std::ios::binary);
    std::string line;
    if (!std::getline(in, line)) return;
    const bool before = line == kHeaderBefore + serverAndFolder_;
    const bool cleaned = line == kHeaderCleaned + serverAndFolder_;
    if (!before && !cleaned && line != kHeader + serverAndFolder_) return;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        TSentFile sent;
        std::string name;
        if (!(fields >> sent.size >> sent.sha256 >> sent.serverSize >> sent.serverModified)) continue;
        if (!before && !(fields >> sent.sentSha256 >> sent.modified)) continue;
        if (!before && !cleaned && !(fields >> sent.pictureSide >> sent.builtFor)) continue;
        fields.get();
        std::getline(fields, name);
        if (sent.sha256 == kNoDigest) sent.sha256.clear();
        if (before || sent.sentSha256 == kNoDigest) sent.sentSha256 = sent.sha256;
        if (!name.empty()) files_[Unescaped(name)] = sent;
    }
}

const TSentFile* TSentRecord::Find(const std::string& file) const {
    const auto found = files_.find(file);
    return found == files_.end() ? nullptr : &found->second;
}

void TSentRecord::Note(const std::string& file, const TSentFile& sent) {
    files_[file] = sent;
    Save();
}

void TSentRecord::NoteSending(const std::string& file) {
    if (files_.count(file) == 0) Note(file, TSentFile{});
}

void TSentRecord::NoteLater(const std::string& file, const TSentFile& sent) {
    files_[file] = sent;
    unsaved_ = true;
}

void TSentRecord::NoteModified(const std::string& file, std::int64_t modified) {
    const auto found = files_.find(file);
    if (found == files_.end() || found->second.modified == modified) return;
    found->second.modified = modified;
    unsaved_ = true;
}

void TSentRecord::NotePicture(const std::string& file, int pictureSide, int builtFor) {
    const auto found = files_.find(file);
    if (found == files_.end() || (found->second.pictureSide == pictureSide && found->second.builtFor == builtFor))
        return;
    found->second.pictureSide = pictureSide;
    found->second.builtFor = builtFor;
    unsaved_ = true;
}

void TSentRecord::Flush() {
    if (unsaved_) Save();
}

void TSentRecord::Save() {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    const std::filesystem::path temporary = file_.string() + ".neu";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << kHeader << serverAndFolder_ << '\n';
        const auto digest = [](const std::string& sha256) { return sha256.empty() ? kNoDigest : sha256; };
        for (const auto& [name, sent] : files_) {
            out << sent.size << ' ' << digest(sent.sha256) << ' ' << sent.serverSize << ' ' << sent.serverModified
                << ' ' << digest(sent.sentSha256) << ' ' << sent.modified << ' ' << sent.pictureSide << ' '
                << sent.builtFor << ' ' << Escaped(name) << '\n';
        }
        out.flush();
        if (!out) throw TTransferError(TFault::RecordNotWritten, file_.string());
    }
    std::filesystem::rename(temporary, file_, error);
    if (error) throw TTransferError(TFault::RecordNotWritten, file_.string(), TCause::None, error.message());
    unsaved_ = false;
}

}  // namespace transfer
