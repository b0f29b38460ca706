#pragma once

#include <QString>
#include <functional>

#include "transfer/publish.h"

class QObject;

// The password of a login, kept only in the desktop's keyring (the Secret
// Service, through Qt Keychain) and never in a file.

// Whether a Secret Service (org.freedesktop.secrets) is on the session bus
// or can be started there.
bool KeyringAvailable();

// The keyring's name of a login: "sftp://user@host:port" or
// "ftps://user@host:port"; for the ways over an address (`host`) that
// names its own port "webdav://user@address", "s3://accesskey@endpoint"; so
// that a password or secret key is only ever offered to the server it was
// typed for.
QString KeyringAccount(transfer::TProtocol protocol, const QString& host, int port, const QString& user);

// Looks the password up without waiting; `found` gets it on the caller's
// thread while the context lives, and only when there is one.
void ReadRememberedPassword(const QString& account, QObject* context, std::function<void(const QString&)> found);
void RememberPassword(const QString& account, const QString& password);
void ForgetPassword(const QString& account);
