#include "wizard/site_links_command.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QUrl>
#include <filesystem>
#include <string>

#include "core/folder_names.h"
#include "core/site_navigation.h"
#include "ui/error_display.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"

namespace wizard {
namespace {

// A box listing a thousand names would not fit on the screen.
constexpr qsizetype kNamesShown = 10;

QSettings Settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tavirel"), QStringLiteral("tavirel"));
}

// A folder's path as one key: a "/" would nest groups.
QString KeyOf(const QString& folder) {
    return QStringLiteral("SiteLinks/") + QString::fromLatin1(QUrl::toPercentEncoding(folder));
}

// File names come from the disk and may hold anything.
QString Shown(const std::string& name) {
    return QString::fromStdString(core::PrintableName(name));
}

QString NameList(const QStringList& names) {
    if (names.size() <= kNamesShown) return names.join(QStringLiteral(", "));
    return names.first(kNamesShown).join(QStringLiteral(", ")) +
           QStringLiteral(" und %1 weitere").arg(names.size() - kNamesShown);
}

QStringList Names(const std::vector<std::string>& names) {
    QStringList shown;
    for (const std::string& name : names) shown << Shown(name);
    return shown;
}

QString Pages(qsizetype count) {
    return count == 1 ? QStringLiteral("1 weiteren Seite") : QStringLiteral("%1 weiteren Seiten").arg(count);
}

QString Question(const core::TSiteNavigation& site) {
    QStringList names;
    for (const core::TSitePage& page : site.Pages) names << Shown(page.Name);
    return QStringLiteral("Die Links auch auf ") + Pages(names.size()) + QStringLiteral(" ändern? ") + NameList(names);
}

QString Outcome(const core::TSiteRewrite& rewrite, const std::vector<std::string>& unreadable) {
    QStringList lines;
    if (!rewrite.Changed.empty())
        lines << QStringLiteral("Die Links wurden auf ") + Pages(static_cast<qsizetype>(rewrite.Changed.size())) +
                     QStringLiteral(" geändert: ") + NameList(Names(rewrite.Changed)) + QStringLiteral(".");
    if (!unreadable.empty())
        lines << QStringLiteral("Nicht geändert, weil von Hand bearbeitet oder nicht von HTML Tavirel: ") +
                     NameList(Names(unreadable)) + QStringLiteral(".");
    if (!rewrite.NotChanged.empty()) {
        QStringList failed;
        for (const core::TNotChanged& page : rewrite.NotChanged)
            failed << Shown(page.Name) + QStringLiteral(" (") + ui::FromUtf8(page.Reason) + QStringLiteral(")");
        lines << QStringLiteral("Wegen eines Fehlers unverändert geblieben: ") + NameList(failed) + QStringLiteral(".");
    }
    return lines.join(QStringLiteral("\n\n"));
}

void Tell(QWidget* window, const QString& text, bool failed) {
    QMessageBox box(failed ? QMessageBox::Warning : QMessageBox::Information, ui::ApplicationTitle(), text,
                    QMessageBox::Ok, window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

bool SiteLinksChoice(const QString& folder) {
    const QVariant chosen = Settings().value(KeyOf(folder));
    if (chosen.isValid()) return chosen.toBool();
    return core::CountSitePages(ui::ToPath(folder), 2) > 1;
}

void RememberSiteLinksChoice(const QString& folder, bool on) {
    Settings().setValue(KeyOf(folder), on);
}

void CarryLinksToSite(QWidget* window, const QString& pageFile, const std::vector<core::TLinkEntry>& before,
                      const std::vector<core::TLinkEntry>& after) {
    const std::filesystem::path page = ui::ToPath(pageFile);
    const std::filesystem::path folder = page.parent_path();
    const core::TSiteNavigation site = core::FindSiteNavigation(folder, page.filename().string(), before, after);
    core::TSiteRewrite rewrite;
    if (!site.Pages.empty()) {
        if (!ui::AskYesNo(window, Question(site))) return;
        rewrite = core::RewriteSiteNavigation(folder, site.Pages);
    }
    if (rewrite.Changed.empty() && rewrite.NotChanged.empty() && site.Unreadable.empty()) return;
    Tell(window, Outcome(rewrite, site.Unreadable), !rewrite.NotChanged.empty());
}

}  // namespace wizard
