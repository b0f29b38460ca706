#pragma once

// "Seite bearbeiten": the page a link of the list leads to, judged before
// anything in the window changes. The target is the page's, so it is
// untrusted: it is judged by what the file system resolves inside the
// page's folder, not by how it is spelled.

#include <QString>
#include <optional>

#include "core/page_description.h"

namespace wizard {

struct TLinkedPage {
    // Absolute: the page file found, or the file the new page goes to.
    QString file;
    // The page to start when there is none yet; empty when `file` is there.
    std::optional<core::TPageDescription> newPage;
};

// The page behind `link`, seen from `folder`, where the page described by
// `current` goes to `currentFile`. Throws core::TPathFileError with the
// user's message for a link to no page this program can open or start.
TLinkedPage FindLinkedPage(const QString& folder, const QString& currentFile, const core::TPageDescription& current,
                           const core::TLinkEntry& link);

// The page the link's text names, looking like the current one: what
// "Allgemeine Einstellungen" holds and the links stay, the page's own
// content (heading image, text, images) goes.
core::TPageDescription PageForLink(core::TPageDescription current, const std::string& linkText);

}  // namespace wizard
