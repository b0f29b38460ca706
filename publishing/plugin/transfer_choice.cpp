#include "publishing/plugin/transfer_choice.h"

using transfer::TProtocol;

QStringList TransferChoices() {
    return {QStringLiteral("SFTP"), QStringLiteral("FTPS (FTP mit TLS)")};
}

TProtocol ProtocolAt(int index) {
    return index == 1 ? TProtocol::Ftps : TProtocol::Sftp;
}

int ChoiceOf(TProtocol protocol) {
    return protocol == TProtocol::Ftps ? 1 : 0;
}

QString ProtocolName(TProtocol protocol) {
    return protocol == TProtocol::Ftps ? QStringLiteral("ftps") : QStringLiteral("sftp");
}

TProtocol ProtocolNamed(const QString& name) {
    return name == QStringLiteral("ftps") ? TProtocol::Ftps : TProtocol::Sftp;
}

int DefaultPort(TProtocol protocol) {
    return protocol == TProtocol::Ftps ? 21 : 22;
}

QString FollowingPort(const QString& port, TProtocol chosen) {
    const TProtocol other = chosen == TProtocol::Ftps ? TProtocol::Sftp : TProtocol::Ftps;
    const QString typed = port.trimmed();
    if (typed.isEmpty() || typed == QString::number(DefaultPort(other))) return QString::number(DefaultPort(chosen));
    return port;
}
