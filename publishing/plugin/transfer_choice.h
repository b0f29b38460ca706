#pragma once

#include <QString>
#include <QStringList>

#include "transfer/publish.h"

// "Übertragung": the ways to the server, in the order the window offers
// them, and the port that goes with each.

// "SFTP", "FTPS (FTP mit TLS)".
QStringList TransferChoices();
transfer::TProtocol ProtocolAt(int index);
int ChoiceOf(transfer::TProtocol protocol);
// As the settings keep it: "sftp", "ftps"; an unknown name is SFTP.
QString ProtocolName(transfer::TProtocol protocol);
transfer::TProtocol ProtocolNamed(const QString& name);

int DefaultPort(transfer::TProtocol protocol);
// The port once the way changed to `chosen`: its default, unless the user
// typed a port of their own (anything but the other way's default).
QString FollowingPort(const QString& port, transfer::TProtocol chosen);
