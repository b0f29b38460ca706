#pragma once

#include <QString>
#include <QStringList>

#include "transfer/publish.h"

// "Übertragung": the ways to the server, in the order the window offers
// them, the port that goes with each, and what the window asks for each.

// "SFTP", "FTPS (FTP mit TLS)", "WebDAV (HTTPS)", "Objektspeicher (S3)".
QStringList TransferChoices();
transfer::TProtocol ProtocolAt(int index);
int ChoiceOf(transfer::TProtocol protocol);
// As the settings keep it: "sftp", "ftps", "webdav", "s3"; an unknown name
// is SFTP.
QString ProtocolName(transfer::TProtocol protocol);
transfer::TProtocol ProtocolNamed(const QString& name);

int DefaultPort(transfer::TProtocol protocol);
// The port once the way changed to `chosen`: its default, unless the user
// typed a port of their own (anything but the other way's default). The
// ways over an address take its port: theirs stays as it was.
QString FollowingPort(const QString& port, transfer::TProtocol chosen);

// What the fields of the window say and which it shows for a way: WebDAV
// takes an address instead of the server and port, object storage an
// endpoint, its bucket and region, and its keys instead of user and
// password.
struct TWayFields {
    QString server;
    QString serverHint;
    QString user;
    QString password;
    QString remember;
    QString folder;
    bool port = true;      // "Port"
    bool keyFile = false;  // "Schlüsseldatei"
    bool storage = false;  // "Bucket" and "Region"
};
TWayFields FieldsOf(transfer::TProtocol protocol);
