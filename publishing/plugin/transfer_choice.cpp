#include "publishing/plugin/transfer_choice.h"

using transfer::TProtocol;

namespace {

// In the order of the choices.
const TProtocol kWays[] = {TProtocol::Sftp, TProtocol::Ftps, TProtocol::WebDav, TProtocol::S3};

bool OverAnAddress(TProtocol protocol) {
    return protocol == TProtocol::WebDav || protocol == TProtocol::S3;
}

}  // namespace

QStringList TransferChoices() {
    return {QStringLiteral("SFTP"), QStringLiteral("FTPS (FTP mit TLS)"), QStringLiteral("WebDAV (HTTPS)"),
            QStringLiteral("Objektspeicher (S3)")};
}

TProtocol ProtocolAt(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kWays)) ? kWays[index] : TProtocol::Sftp;
}

int ChoiceOf(TProtocol protocol) {
    for (int i = 0; i < static_cast<int>(std::size(kWays)); ++i)
        if (kWays[i] == protocol) return i;
    return 0;
}

QString ProtocolName(TProtocol protocol) {
    switch (protocol) {
        case TProtocol::Ftps:
            return QStringLiteral("ftps");
        case TProtocol::WebDav:
            return QStringLiteral("webdav");
        case TProtocol::S3:
            return QStringLiteral("s3");
        default:
            return QStringLiteral("sftp");
    }
}

TProtocol ProtocolNamed(const QString& name) {
    for (const TProtocol way : kWays)
        if (ProtocolName(way) == name) return way;
    return TProtocol::Sftp;
}

int DefaultPort(TProtocol protocol) {
    if (OverAnAddress(protocol)) return 443;
    return protocol == TProtocol::Ftps ? 21 : 22;
}

QString FollowingPort(const QString& port, TProtocol chosen) {
    if (OverAnAddress(chosen)) return port;
    const TProtocol other = chosen == TProtocol::Ftps ? TProtocol::Sftp : TProtocol::Ftps;
    const QString typed = port.trimmed();
    if (typed.isEmpty() || typed == QString::number(DefaultPort(other))) return QString::number(DefaultPort(chosen));
    return port;
}

TWayFields FieldsOf(TProtocol protocol) {
    TWayFields fields{QStringLiteral("&Server:"),
                      QString(),
                      QStringLiteral("&Benutzer:"),
                      QStringLiteral("&Kennwort:"),
                      QStringLiteral("Kennwort im Schlüsselbund &merken"),
                      QStringLiteral("&Ordner auf dem Server:")};
    if (protocol == TProtocol::Sftp) fields.keyFile = true;
    if (protocol == TProtocol::WebDav) {
        fields.server = QStringLiteral("&Adresse:");
        fields.serverHint = QStringLiteral("https://server.de/webdav/");
        fields.port = false;
    }
    if (protocol == TProtocol::S3) {
        fields.server = QStringLiteral("&Endpunkt:");
        fields.serverHint = QStringLiteral("https://s3.eu-central-1.amazonaws.com");
        fields.user = QStringLiteral("&Zugangsschlüssel:");
        fields.password = QStringLiteral("&Geheimer Schlüssel:");
        fields.remember = QStringLiteral("Geheimen Schlüssel im Schlüsselbund &merken");
        fields.folder = QStringLiteral("&Präfix (Ordner):");
        fields.port = false;
        fields.storage = true;
    }
    return fields;
}
