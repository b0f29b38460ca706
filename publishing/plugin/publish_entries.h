#pragma once

#include <QString>

#include "pictures/web_picture.h"

// What the window remembers per page file: everything but the password,
// which only the keyring keeps.
struct TPublishEntries {
    QString protocol = QStringLiteral("sftp");  // "sftp", "ftps", "webdav" or "s3"
    QString host;                               // or the address, the endpoint
    int port = 22;
    QString bucket;  // object storage's
    QString region;
    QString user;
    QString keyFile;
    QString folder;
    QString address;  // "Adresse der Seite im Netz", optional
    bool rememberPassword = false;
    // "Fotos verkleinern auf … Pixel": on, and the longer side.
    bool scalePictures = true;
    int pictureSide = pictures::kWebSide;
};

// The settings file in the user's config folder (~/.config/tavirel/publish.conf).
QString PublishSettingsFile();
// The folder of the settings file, where trusted FTPS certificates are
// pinned (~/.config/tavirel).
QString PublishSettingsFolder();
// The folder of the records of what was sent (~/.local/share/tavirel/published).
QString PublishRecordFolder();

TPublishEntries LoadPublishEntries(const QString& pageFile);
void SavePublishEntries(const QString& pageFile, const TPublishEntries& entries);
