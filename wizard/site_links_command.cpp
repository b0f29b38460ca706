#include "wizard/site_links_command.h"

#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QUrl>
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

bool TSiteLinksChoice::For(const QString& folder, const std::function<std::size_t()>& pages) {
    Load(folder);
    return set_.value_or(pages() > 1);
}

void TSiteLinksChoice::Set(const QString& folder, bool on) {
    Load(folder);
    set_ = on;
    Settings().setValue(KeyOf(folder), on);
}

void TSiteLinksChoice::Load(const QString& folder) {
    if (loaded_ && folder == folder_) return;
    const QVariant chosen = Settings().value(KeyOf(folder));
    folder_ = folder;
    loaded_ = true;
    set_ = chosen.isValid() ? std::optional<bool>(chosen.toBool()) : std::nullopt;
}

void CarryLinksToSite(QWidget* window, const core::TPageFolder& folder, const std::vector<core::TSiteFile>& site,
                      const std::vector<core::TLinkEntry>& before, const std::vector<core::TLinkEntry>& after) {
    const core::TSiteNavigation navigation = core::FindSiteNavigation(site, before, after);
    core::TSiteRewrite rewrite;
    if (!navigation.Pages.empty()) {
        if (!ui::AskYesNo(window, Question(navigation))) return;
        rewrite = core::RewriteSiteNavigation(folder, navigation.Pages);
    }
    if (rewrite.Changed.empty() && rewrite.NotChanged.empty() && navigation.Unreadable.empty()) return;
    Tell(window, Outcome(rewrite, navigation.Unreadable), !rewrite.NotChanged.empty());
}

}  // namespace wizard
