#pragma once

// After a publish: is the page a visitor gets the page the user made?

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>

#include "transfer/transfer_error.h"

namespace transfer {

struct TOnlineCheck {
    enum class TOutcome { Same, Different, Failed };
    TOutcome outcome = TOutcome::Failed;
    // Failed: what kept the page from coming (TFault::PageNotFound, …).
    std::optional<TFault> failure;
    // UTF-8: "Online – stimmt mit der Seite überein", "Online, aber anders
    // als die Seite (Zwischenspeicher?)", or the failure's message.
    std::string line;
    // Empty, or that the server announces a charset under which the page's
    // umlauts show wrong.
    std::string warning;
};

// Fetches the page's address ("https://www.beispiel.de/"; without a scheme,
// https) and compares it byte for byte with the local page file. Never
// throws: a failure is the result's line. `cancel`, when given, is read
// while it waits.
TOnlineCheck CheckOnline(const std::string& address, const std::filesystem::path& pageFile,
                         const std::atomic<bool>* cancel = nullptr);

}  // namespace transfer
