// Which files a publish sends: the page and what it names beside it or below.

#include <fstream>
#include <iterator>
#include <system_error>

#include "core/page_references.h"
#include "transfer/publish.h"

namespace transfer {
namespace {

std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw TTransferError("Die Seite „" + file.string() + "“ lässt sich nicht lesen.");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw TTransferError("Die Seite „" + file.string() + "“ lässt sich nicht ganz lesen.");
    return bytes;
}

// Judged by the name as the page spells it, as the picture picker judges it:
// a folder below the page that is a link to elsewhere still counts as inside,
// because that is where the visitor's browser looks for it.
bool IsInsideTheFolder(const std::string& name) {
    return !name.empty() && name.front() != '/' && name != ".." && name.rfind("../", 0) != 0;
}

}  // namespace

TPublishPlan PlanPublish(const std::filesystem::path& pageFile) {
    TPublishPlan plan;
    const std::filesystem::path page = std::filesystem::absolute(pageFile).lexically_normal();
    plan.folder = page.parent_path();
    const std::string pageName = page.filename().string();
    plan.files.push_back(pageName);
    for (const std::string& name : core::LocalReferences(ReadWholeFile(page))) {
        if (name == pageName) continue;
        if (!IsInsideTheFolder(name)) {
            plan.leftOut.push_back({name, TLeftOut::TReason::OutsideFolder});
            continue;
        }
        std::error_code error;
        const auto status = std::filesystem::status(plan.folder / name, error);
        if (std::filesystem::is_regular_file(status)) {
            plan.files.push_back(name);
        } else if (!std::filesystem::is_directory(status)) {
            // A link to a folder names no file to send; anything else the
            // visitor would miss.
            plan.leftOut.push_back({name, TLeftOut::TReason::Missing});
        }
    }
    return plan;
}

}  // namespace transfer
