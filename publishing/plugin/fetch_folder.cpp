#include "publishing/plugin/fetch_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

QString OfferedFolder(const QString& host) {
    static const QRegularExpression kPlainName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9.-]*$"));
    const QString name = kPlainName.match(host).hasMatch() ? host : QStringLiteral("Website");
    const QString first = QDir::home().absoluteFilePath(name);
    QString offered = first;
    for (int n = 2; QFileInfo::exists(offered); ++n) offered = first + QLatin1Char(' ') + QString::number(n);
    return offered;
}

QString FolderHere(const QString& typed) {
    QString folder = typed;
    if (folder == QStringLiteral("~") || folder.startsWith(QStringLiteral("~/"))) folder.remove(0, 2);
    return QDir::cleanPath(QDir::home().absoluteFilePath(folder));
}
