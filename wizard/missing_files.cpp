#include "wizard/missing_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPromise>
#include <QSet>
#include <QStringList>
#include <QThreadPool>
#include <memory>
#include <string>

#include "core/line_list.h"
#include "core/page_references.h"
#include "ui/elided_label.h"

namespace wizard {
namespace {

// A folder's entries, by name and by name in lower case.
struct TListing {
    QSet<QString> names;
    QHash<QString, QString> byFoldedName;
};

// Each folder is listed once per finish: a page of thousands of pictures
// would otherwise ask the disk once for each of them.
using TFolderListings = QHash<QString, TListing>;

const TListing& ListingOf(const QDir& folder, TFolderListings& listings) {
    const QString path = folder.absolutePath();
    auto found = listings.find(path);
    if (found != listings.end()) return *found;
    TListing listing;
    // Without QDir::System: a link that leads nowhere is no file.
    for (const QString& entry : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        listing.names.insert(entry);
        listing.byFoldedName.insert(entry.toCaseFolded(), entry);
    }
    return *listings.insert(path, std::move(listing));
}

// The entry of the folder with this name, letter case aside; empty when
// there is none.
QString EntryOfAnyCase(const QDir& folder, const QString& name, TFolderListings& listings) {
    if (name == QStringLiteral(".") || name == QStringLiteral("..")) return name;
    const TListing& listing = ListingOf(folder, listings);
    if (listing.names.contains(name)) return name;
    return listing.byFoldedName.value(name.toCaseFolded());
}

// The file's name as the disk spells it, relative to the folder like the
// name on the page; empty when it is not there in any letter case.
QString NameOnDisk(const QDir& pageFolder, const QString& name, TFolderListings& listings) {
    // Most names are of a file beside the page.
    if (!name.contains(QLatin1Char('/'))) return EntryOfAnyCase(pageFolder, name, listings);
    const bool rooted = name.startsWith(QLatin1Char('/'));
    QDir folder = rooted ? QDir::root() : pageFolder;
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList found;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString entry = EntryOfAnyCase(folder, parts[i], listings);
        if (entry.isEmpty() || (i + 1 < parts.size() && !folder.cd(entry))) return {};
        found << entry;
    }
    QString onDisk = found.join(QLatin1Char('/'));
    if (rooted) onDisk.prepend(QLatin1Char('/'));
    if (name.endsWith(QLatin1Char('/'))) onDisk.append(QLatin1Char('/'));
    return onDisk;
}

}  // namespace

TMissingFilesLine CheckMissingFiles(const QString& folder, const std::vector<std::string>& names) {
    const QDir pageFolder(folder);
    QStringList missing;
    TFolderListings listings;
    for (const std::string& reference : names) {
        const QString name = QString::fromUtf8(reference);
        const QString onDisk = NameOnDisk(pageFolder, name, listings);
        // Web servers tell letter cases apart, so the user hears of both.
        if (onDisk.isEmpty())
            missing << name;
        else if (onDisk != name)
            missing << onDisk + QStringLiteral(" statt ") + name;
    }
    if (missing.isEmpty()) return {QStringLiteral("Alle Bilder und Links gefunden"), QString()};
    return {QStringLiteral("Fehlt: ") + missing.join(QStringLiteral(", ")),
            QStringLiteral("Fehlt:\n") + missing.join(QLatin1Char('\n'))};
}

TMissingFilesCheck::TMissingFilesCheck(ui::TElidedLabel* line)
    : QObject(line), line_(line), worker_(new QThreadPool(this)) {
    // A thread of its own: checks never pile up beside each other, and
    // none outlives the window, whose end waits for it.
    worker_->setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &TMissingFilesCheck::Show);
}

void TMissingFilesCheck::Start(const QString& folder, const core::TLineList& page) {
    Clear();
    // The pool's function is copied, the promise cannot be: shared.
    auto promise = std::make_shared<QPromise<TMissingFilesLine>>();
    watcher_.setFuture(promise->future());
    running_ = true;
    worker_->start([promise, folder, bytes = std::string(page.FileBytes())] {
        promise->start();
        if (!promise->isCanceled()) promise->addResult(CheckMissingFiles(folder, core::LocalReferences(bytes)));
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
