#include "publishing/plugin/publish_entries.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace {

QSettings Settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tavirel"), QStringLiteral("publish"));
}

// A page's path, made one settings group: a "/" would nest groups.
QString GroupOf(const QString& pageFile) {
    return QString::fromLatin1(QUrl::toPercentEncoding(pageFile));
}

}  // namespace

QString PublishSettingsFile() {
    return Settings().fileName();
}

QString PublishSettingsFolder() {
    return QFileInfo(PublishSettingsFile()).absolutePath();
}

QString PublishRecordFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/published");
}

TPublishEntries LoadPublishEntries(const QString& pageFile) {
    QSettings settings = Settings();
    settings.beginGroup(GroupOf(pageFile));
    TPublishEntries entries;
    entries.protocol = settings.value(QStringLiteral("protocol"), entries.protocol).toString();
    entries.host = settings.value(QStringLiteral("host")).toString();
    entries.port = settings.value(QStringLiteral("port"), 22).toInt();
    entries.bucket = settings.value(QStringLiteral("bucket")).toString();
    entries.region = settings.value(QStringLiteral("region")).toString();
    entries.user = settings.value(QStringLiteral("user")).toString();
    entries.keyFile = settings.value(QStringLiteral("keyFile")).toString();
    entries.folder = settings.value(QStringLiteral("folder")).toString();
    entries.address = settings.value(QStringLiteral("address")).toString();
    entries.rememberPassword = settings.value(QStringLiteral("rememberPassword"), false).toBool();
    entries.scalePictures = settings.value(QStringLiteral("scalePictures"), entries.scalePictures).toBool();
    entries.pictureSide = settings.value(QStringLiteral("pictureSide"), entries.pictureSide).toInt();
    return entries;
}

void SavePublishEntries(const QString& pageFile, const TPublishEntries& entries) {
    QSettings settings = Settings();
    settings.beginGroup(GroupOf(pageFile));
    settings.setValue(QStringLiteral("protocol"), entries.protocol);
    settings.setValue(QStringLiteral("host"), entries.host);
    settings.setValue(QStringLiteral("port"), entries.port);
    settings.setValue(QStringLiteral("bucket"), entries.bucket);
    settings.setValue(QStringLiteral("region"), entries.region);
    settings.setValue(QStringLiteral("user"), entries.user);
    settings.setValue(QStringLiteral("keyFile"), entries.keyFile);
    settings.setValue(QStringLiteral("folder"), entries.folder);
    settings.setValue(QStringLiteral("address"), entries.address);
    settings.setValue(QStringLiteral("rememberPassword"), entries.rememberPassword);
    settings.setValue(QStringLiteral("scalePictures"), entries.scalePictures);
    settings.setValue(QStringLiteral("pictureSide"), entries.pictureSide);
}
