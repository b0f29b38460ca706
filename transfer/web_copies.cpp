#include "transfer/web_copies.h"

#include <sys/mman.h>

#include <algorithm>

#include "core/system_calls.h"
#include "pictures/picture_kind.h"
#include "pictures/picture_process.h"
#include "transfer/file_digest.h"

namespace transfer {

const TWebCopy* TWebCopies::Find(const std::string& file) const {
    const auto found = copies.find(file);
    return found == copies.end() ? nullptr : &found->second;
}

std::vector<std::string> TWebCopies::NotCleanable(const TPublishPlan& plan) const {
    std::vector<std::string> files;
    for (const std::string& file : plan.files)
        if (const TWebCopy* copy = Find(file); copy != nullptr && !copy->picture) files.push_back(file);
    return files;
}

pictures::TPicturesDone TWebCopies::Done() const {
    pictures::TPicturesDone done;
    for (const auto& [file, copy] : copies)
        if (copy.picture) done.Add(*copy.picture, copy.originalBytes);
    return done;
}

int BuiltFor(int pictureSide, int side) {
    return side != pictures::kNoScaling && pictureSide > side ? side : pictures::kNoScaling;
}

bool KeepsSide(const TSentFile& sent, int side) {
    return sent.pictureSide == 0 || (sent.pictureSide > 0 && BuiltFor(sent.pictureSide, side) == sent.builtFor);
}

bool IsPicture(int file) {
    const std::optional<std::string> start = ReadOpenFile(file, pictures::kKindBytes);
    return start && pictures::PictureKindOf(*start) != pictures::TPictureKind::None;
}

TWebCopies MakeWebCopies(const TPublishPlan& plan, const TSentRecord& record, int side, IPublishProgress& progress,
                         const std::atomic<bool>& cancel) {
    TWebCopies made;
    made.side = side;
    const core::TPageFolder folder(plan.folder);
    for (std::size_t i = plan.pages; i < plan.files.size() && !cancel; ++i) {
        const std::string& file = plan.files[i];
        // Unchanged by its time and size: not even opened, as the steps do.
        const core::TLookedName looked = folder.Look(file);
        if (looked.fault || looked.folder) continue;
        const TSentFile* sent = record.Find(file);
        const bool sideKept = sent != nullptr && !sent->sha256.empty() && KeepsSide(*sent, side);
        const TFileStamp stamp = StampOf(looked.status);
        if (sideKept && stamp.modified != 0 && stamp.modified == sent->modified && stamp.size == sent->size) continue;
        const core::TOpenedName opened = folder.Open(file);
        if (!opened.file || !IsPicture(opened.file.Get())) continue;
        try {
            if (sideKept && DigestFile(opened.file.Get(), file).sha256 == sent->sha256) continue;
        } catch (const TTransferError&) {
            // Unreadable now: the steps say so when its turn comes.
            continue;
        }
        progress.Preparing(file);
        made.copies[file] = {pictures::RebuildApart(opened.file.Get(), side), stamp.size};
    }
    return made;
}

core::TOpenFile InMemoryFile(const std::string& bytes, const std::string& name) {
    core::TOpenFile file(memfd_create("tavirel-bild", MFD_CLOEXEC));
    if (!file || !core::WriteAll(file.Get(), bytes)) throw TTransferError(TFault::NoMemoryForPicture, name);
    return file;
}

}  // namespace transfer
