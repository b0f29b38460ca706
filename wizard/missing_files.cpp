#include "wizard/missing_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPromise>
#include <QSet>
#include <QStringList>
#include <QThreadPool>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/folder_names.h"
#include "core/line_list.h"
#include "core/page_references.h"
#include "ui/elided_label.h"
#include "ui/text_boundary.h"

namespace wizard {
namespace {

// A folder's entries by name; by name in lower case only once a name is
// not found as written, which on most pages never happens.
struct TListing {
    QSet<QString> names;
    QSet<QString> links;
    std::optional<QHash<QString, QString>> byFoldedName;
};

// Each folder is listed once per check, and looked up as a folder once: a
// page of thousands of pictures would otherwise ask the disk once for each
// of them. Folders go by their absolute path, cleaned as QDir::cd cleans.
struct TDisk {
    QHash<QString, TListing> listings;
    QHash<QString, bool> isFolder;
};

TListing& ListingOf(const QString& folder, TDisk& disk) {
    auto found = disk.listings.find(folder);
    if (found != disk.listings.end()) return *found;
    TListing listing;
    // Without QDir::System: a link that leads nowhere is no file. Whether an
    // entry is a link comes with the listing, without asking the disk again.
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    listing.names.reserve(entries.size());
    for (const QFileInfo& entry : entries) {
        listing.names.insert(entry.fileName());
        if (entry.isSymLink()) listing.links.insert(entry.fileName());
    }
    return *disk.listings.insert(folder, std::move(listing));
}

// The entry of the folder with this name, letter case aside; empty when
// there is none.
QString EntryOfAnyCase(const QString& folder, const QString& name, TDisk& disk) {
    if (name == QStringLiteral(".") || name == QStringLiteral("..")) return name;
    TListing& listing = ListingOf(folder, disk);
    if (listing.names.contains(name)) return name;
    if (!listing.byFoldedName) {
        listing.byFoldedName.emplace();
        for (const QString& entry : std::as_const(listing.names))
            listing.byFoldedName->insert(entry.toCaseFolded(), entry);
    }
    return listing.byFoldedName->value(name.toCaseFolded());
}

// The folder's subfolder of that entry, as QDir::cd finds it; empty when
// it is none.
QString Subfolder(const QString& folder, const QString& entry, TDisk& disk) {
    if (entry == QStringLiteral(".")) return folder;
    QString path = folder.endsWith(QLatin1Char('/')) ? folder + entry : folder + QLatin1Char('/') + entry;
    if (entry == QStringLiteral("..")) path = QDir::cleanPath(path);
    auto known = disk.isFolder.find(path);
    if (known == disk.isFolder.end()) known = disk.isFolder.insert(path, QFileInfo(path).isDir());
    return *known ? path : QString();
}

// The file's name as the disk spells it, relative to the folder like the
// name on the page; empty when it is not there in any letter case.
// `throughLink` tells whether a link lies on the way.
QString NameOnDisk(const QString& pageFolder, const QString& name, TDisk& disk, bool& throughLink) {
    throughLink = false;
    const auto isLink = [&](const QString& folder, const QString& entry) {
        throughLink = throughLink || ListingOf(folder, disk).links.contains(entry);
        return entry;
    };
    // Most names are of a file beside the page.
    if (!name.contains(QLatin1Char('/'))) return isLink(pageFolder, EntryOfAnyCase(pageFolder, name, disk));
    const bool rooted = name.startsWith(QLatin1Char('/'));
    QString folder = rooted ? QDir::rootPath() : pageFolder;
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList found;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString entry = isLink(folder, EntryOfAnyCase(folder, parts[i], disk));
        if (entry.isEmpty()) return {};
        if (i + 1 < parts.size() && (folder = Subfolder(folder, entry, disk)).isEmpty()) return {};
        found << entry;
    }
    QString onDisk = found.join(QLatin1Char('/'));
    if (rooted) onDisk.prepend(QLatin1Char('/'));
    if (name.endsWith(QLatin1Char('/'))) onDisk.append(QLatin1Char('/'));
    return onDisk;
}

// A name as a message may show it.
QString Shown(const std::string& name) {
    return ui::FromUtf8(core::PrintableName(name));
}

}  // namespace

TMissingFilesLine CheckMissingFiles(const QString& folder, const std::vector<std::string>& names) {
    const QString pageFolder = QDir(folder).absolutePath();
    // Publishing leaves out what a link takes out of the folder, and hidden
    // and invalid names (core/folder_names.h): the user hears of it here,
    // before publishing.
    const core::TPageFolder pageFiles(ui::ToPath(pageFolder));
    QStringList missing;
    QStringList notSent;
    TDisk disk;
    for (const std::string& reference : names) {
        const bool inside = core::NamesInsideTheFolder(reference);
        if (core::IsInvalidName(reference) || (inside && core::IsHiddenName(reference))) {
            const bool invalid = core::IsInvalidName(reference);
            notSent << Shown(reference) + QLatin1Char(' ') +
                           ui::FromUtf8(
                               core::FaultWords(invalid ? core::TNameFault::Invalid : core::TNameFault::Hidden));
            continue;
        }
        const QString name = QString::fromUtf8(reference);
        bool throughLink = false;
        const QString onDisk = NameOnDisk(pageFolder, name, disk, throughLink);
        // Web servers tell letter cases apart, so the user hears of both.
        if (onDisk.isEmpty()) {
            missing << Shown(reference);
        } else if (onDisk != name) {
            missing << Shown(onDisk.toStdString()) + QStringLiteral(" statt ") + Shown(reference);
        } else if (inside && throughLink) {
            const std::optional<core::TNameFault> fault = pageFiles.Open(reference).fault;
            if (fault && *fault != core::TNameFault::Missing)
                notSent << Shown(reference) + QLatin1Char(' ') + ui::FromUtf8(core::FaultWords(*fault));
        }
    }
    if (missing.isEmpty() && notSent.isEmpty()) return {QStringLiteral("Alle Bilder und Links gefunden"), QString()};
    QStringList line;
    QStringList longForm;
    if (!missing.isEmpty()) {
        line << QStringLiteral("Fehlt: ") + missing.join(QStringLiteral(", "));
        longForm << QStringLiteral("Fehlt:\n") + missing.join(QLatin1Char('\n'));
    }
    if (!notSent.isEmpty()) {
        line << QStringLiteral("Wird nicht veröffentlicht: ") + notSent.join(QStringLiteral(", "));
        longForm << QStringLiteral("Wird nicht veröffentlicht:\n") + notSent.join(QLatin1Char('\n'));
    }
    return {line.join(QStringLiteral("; ")), longForm.join(QLatin1Char('\n'))};
}

TMissingFilesCheck::TMissingFilesCheck(ui::TElidedLabel* line)
    : QObject(line), line_(line), worker_(new QThreadPool(this)) {
    // A thread of its own: checks never pile up beside each other, and
    // none outlives the window, whose end waits for it.
    worker_->setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &TMissingFilesCheck::Show);
}

void TMissingFilesCheck::Start(const QString& folder, std::shared_ptr<const core::TLineList> page) {
    Clear();
    // The pool's function is copied, the promise cannot be: shared.
    auto promise = std::make_shared<QPromise<TMissingFilesLine>>();
    watcher_.setFuture(promise->future());
    running_ = true;
    worker_->start([promise, folder, page = std::move(page)] {
        promise->start();
        if (!promise->isCanceled())
            promise->addResult(CheckMissingFiles(folder, core::LocalReferences(page->FileBytes())));
        promise->finish();
    });
}

void TMissingFilesCheck::Clear() {
    // The old future's signals no longer reach this object.
    watcher_.cancel();
    watcher_.setFuture(QFuture<TMissingFilesLine>());
    running_ = false;
    line_->SetLine(QString(), QString());
}

void TMissingFilesCheck::Show() {
    // A finished signal of a future this watcher no longer holds.
    const QFuture<TMissingFilesLine> future = watcher_.future();
    if (!running_ || !future.isFinished() || future.resultCount() == 0) return;
    running_ = false;
    const TMissingFilesLine result = future.result();
    line_->SetLine(result.line, result.longForm);
    emit Ended();
}

}  // namespace wizard
