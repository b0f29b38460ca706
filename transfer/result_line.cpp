#include "transfer/result_line.h"

namespace transfer {

std::string ResultLine(const TPublishPlan& plan, const TPublishResult& result) {
    const std::size_t sent = result.sent.size();
    const std::size_t unchanged = result.unchanged.size();
    const std::size_t done = sent + unchanged;
    const std::size_t notSent = plan.files.size() > done ? plan.files.size() - done : 0;
    std::string line = std::to_string(sent) + (sent == 1 ? " Datei" : " Dateien") + " übertragen";
    if (unchanged > 0) line += ", " + std::to_string(unchanged) + " unverändert";
    if (notSent > 0) line += ", " + std::to_string(notSent) + " nicht übertragen";
    return line;
}

}  // namespace transfer
