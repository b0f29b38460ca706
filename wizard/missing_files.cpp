// The line under the code view that names what the written page refers to
// but its folder lacks: a name typed wrong stays invisible until the page
// is looked at, and a slip of letter case only on the web server.

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include "core/page_references.h"
#include "ui/elided_label.h"
#include "wizard/wizard_window.h"

namespace {

// The folders' entries, each folder listed once per finish: a page of many
// missing pictures would list it again for each.
using TFolderListings = QHash<QString, QStringList>;

// The entry of the folder with this name, letter case aside; empty when
// there is none.
QString EntryOfAnyCase(const QDir& folder, const QString& name, TFolderListings& listings) {
    if (QFileInfo::exists(folder.filePath(name))) return name;
    const QString path = folder.absolutePath();
    if (!listings.contains(path))
        listings.insert(path, folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    for (const QString& entry : listings.value(path))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
    return {};
}

// The file's name as the disk spells it, relative to the folder like the
// name on the page; empty when it is not there in any letter case.
QString NameOnDisk(const QString& pageFolder, const QString& name, TFolderListings& listings) {
    const bool rooted = name.startsWith(QLatin1Char('/'));
    QDir folder(rooted ? QDir::rootPath() : pageFolder);
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

void TForm3::ShowMissingFiles(const core::TPageDescription& page) {
    const QString folder = PageFolder();
    QStringList missing;
    TFolderListings listings;
    for (const std::string& reference : core::LocalReferences(page)) {
        const QString name = QString::fromUtf8(reference);
        const QString onDisk = NameOnDisk(folder, name, listings);
        // Web servers tell letter cases apart, so the user hears of both.
        if (onDisk.isEmpty())
            missing << name;
        else if (onDisk != name)
            missing << onDisk + QStringLiteral(" statt ") + name;
    }
    if (missing.isEmpty()) {
        Label21->SetLine(QStringLiteral("Alle Bilder und Links gefunden"), QString());
        return;
    }
    Label21->SetLine(QStringLiteral("Fehlt: ") + missing.join(QStringLiteral(", ")),
                     QStringLiteral("Fehlt:\n") + missing.join(QLatin1Char('\n')));
}
