#include "transfer/result_line.h"

#include <algorithm>

namespace transfer {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

std::string ResultLine(const TPublishPlan& plan, const TPublishResult& result, const std::string& shownError) {
    const std::size_t sent = result.sent.size();
    const std::string counts = std::to_string(sent) + (sent == 1 ? " Datei" : " Dateien") + " übertragen, " +
                               std::to_string(result.unchanged.size()) + " unverändert";
    std::string notes;
    for (const std::string& note : result.notes) notes += " " + note;
    if (result.error.empty() && !result.cancelled) return counts + (notes.empty() ? "" : "." + notes);
    std::string notSent;
    for (const std::string& file : plan.files)
        if (!Contains(result.sent, file) && !Contains(result.unchanged, file))
            notSent += (notSent.empty() ? "" : ", ") + file;
    const std::string cause = result.cancelled && result.error.empty() ? "Abgebrochen." : shownError;
    std::string line = cause + " " + counts;
    if (!notSent.empty()) line += "; nicht übertragen: " + notSent;
    return notes.empty() ? line : line + "." + notes;
}

}  // namespace transfer
