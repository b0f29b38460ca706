// Which files a publish sends: the page and what it names beside it or below.

#include <unistd.h>

#include "core/page_references.h"
#include "core/system_calls.h"
#include "transfer/publish.h"

namespace transfer {
namespace {

// The open file's bytes from its start; nullopt when a read fails.
std::optional<std::string> ReadWholeFile(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got =
            core::RetryInterrupted([&] { return pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size())); });
        if (got < 0) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

TPublishPlan PlanPublish(const std::filesystem::path& pageFile) {
    TPublishPlan plan;
    const std::filesystem::path page = std::filesystem::absolute(pageFile).lexically_normal();
    plan.folder = page.parent_path();
    const std::string pageName = page.filename().string();
    const core::TPageFolder folder(plan.folder);
    const core::TOpenedName opened = folder.Open(pageName, true);
    const std::string shown = "Die Seite „" + core::PrintableName(page.string()) + "“ ";
    if (!opened.file)
        throw TTransferError(shown + "lässt sich nicht lesen" +
                             (opened.fault && *opened.fault != core::TNameFault::Missing
                                  ? " " + std::string(core::FaultWords(*opened.fault))
                                  : std::string()) +
                             ".");
    const std::optional<std::string> bytes = ReadWholeFile(opened.file.Get());
    if (!bytes) throw TTransferError(shown + "lässt sich nicht ganz lesen.");
    plan.files.push_back(pageName);
    for (const std::string& name : core::LocalReferences(*bytes)) {
        if (name == pageName) continue;
        // Opened here only to judge it; the publish opens it again.
        const core::TOpenedName file = folder.Open(name);
        if (file.file)
            plan.files.push_back(name);
        else if (file.fault)
            plan.leftOut.push_back({name, *file.fault});
    }
    return plan;
}

}  // namespace transfer
