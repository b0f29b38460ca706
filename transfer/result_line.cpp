#include "transfer/result_line.h"

#include <algorithm>

#include "transfer/transfer_messages.h"

namespace transfer {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

const TLeftOut* LeftOut(const std::vector<TLeftOut>& list, const std::string& name) {
    const auto found = std::find_if(list.begin(), list.end(), [&](const TLeftOut& file) { return file.name == name; });
    return found == list.end() ? nullptr : &*found;
}

}  // namespace

std::string ResultLine(const TPublishPlan& plan, const TPublishResult& result, const std::string& shownError) {
    const std::size_t sent = result.sent.size();
    // A site's pages are counted before its files; a single page needs no count.
    const std::string pages = plan.pages > 1 ? Text(TText::PagesCounted, {std::to_string(plan.pages)}) : std::string();
    const std::string counts = pages + Text(sent == 1 ? TText::OneFileCounted : TText::FilesCounted,
                                            {std::to_string(sent), std::to_string(result.unchanged.size())});
    std::string notes;
    for (const TTransferError& note : result.notes) notes += std::string(" ") + note.what();
    const bool stopped = result.error || result.cancelled;
    // A file left out when its turn came is named with its reason, also
    // after a publish that went well.
    std::string notSent;
    for (const std::string& file : plan.files) {
        if (Contains(result.sent, file) || Contains(result.unchanged, file)) continue;
        if (Contains(result.notCleanable, file)) {
            notSent += (notSent.empty() ? "" : ", ") + core::PrintableName(file) + " " + pictures::kNotCleanable;
            continue;
        }
        const TLeftOut* leftOut = LeftOut(result.leftOut, file);
        if (leftOut == nullptr && !stopped) continue;
        notSent += (notSent.empty() ? "" : ", ") + core::PrintableName(file);
        if (leftOut != nullptr) notSent += " " + std::string(core::FaultWords(leftOut->reason));
    }
    const std::string done = pictures::DoneLine(result.pictures);
    std::string line = done.empty() ? counts : counts + "; " + done;
    if (stopped) line = (result.cancelled && !result.error ? Text(TText::Cancelled) : shownError) + " " + line;
    if (!notSent.empty()) line += Text(TText::NotSent, {notSent});
    return notes.empty() ? line : line + "." + notes;
}

std::string FetchResultLine(const TFetchResult& result, const std::string& shownError) {
    const std::size_t pages = result.pages.size();
    const std::size_t files = result.files.size();
    const std::string counts =
        (pages == 1 ? Text(TText::OnePageCounted) : Text(TText::PagesCounted, {std::to_string(pages)})) +
        Text(files == 1 ? TText::OneFileFetched : TText::FilesFetched, {std::to_string(files)});
    std::string line = counts;
    if (!result.Whole()) line = (result.error ? shownError : Text(TText::Cancelled)) + " " + counts;
    std::string stays;
    for (const TNotFetched& file : result.notFetched)
        stays += (stays.empty() ? "" : ", ") + core::PrintableName(file.name) + " " + NotFetchedWords(file);
    return stays.empty() ? line : line + Text(TText::NotFetched, {stays});
}

std::string NotFetchedWords(const TNotFetched& file) {
    switch (file.why) {
        case TNotFetched::TWhy::Name:
            return std::string(core::FaultWords(file.fault));
        case TNotFetched::TWhy::LinkOnServer:
            return Text(TText::LinkOnServer);
        case TNotFetched::TWhy::NotOurPage:
            return Text(TText::NotOurPage);
        case TNotFetched::TWhy::TooLarge:
            return Text(TText::TooLarge);
        case TNotFetched::TWhy::Refused:
            return Text(TText::Refused);
        case TNotFetched::TWhy::AlreadyHere:
            return Text(TText::AlreadyHere);
    }
    return {};
}

}  // namespace transfer
