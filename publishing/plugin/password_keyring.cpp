#include "publishing/plugin/password_keyring.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>

#include "publishing/plugin/transfer_choice.h"

namespace {

const QString kService = QStringLiteral("HTML Tavirel");
const QString kSecretService = QStringLiteral("org.freedesktop.secrets");

}  // namespace

bool KeyringAvailable() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return false;
    if (bus.interface()->isServiceRegistered(kSecretService)) return true;
    const QDBusReply<QStringList> startable = bus.interface()->activatableServiceNames();
    return startable.isValid() && startable.value().contains(kSecretService);
}

QString KeyringAccount(transfer::TProtocol protocol, const QString& host, int port, const QString& user) {
    const QString account = ProtocolName(protocol) + QStringLiteral("://") + user + QStringLiteral("@") + host;
    if (protocol == transfer::TProtocol::WebDav || protocol == transfer::TProtocol::S3) return account;
    return account + QStringLiteral(":") + QString::number(port);
}

void ReadRememberedPassword(const QString& account, QObject* context, std::function<void(const QString&)> found) {
    auto* job = new QKeychain::ReadPasswordJob(kService);
    // Without a Secret Service the password is asked for each time; it is
    // never put in a plain file instead.
    job->setInsecureFallback(false);
    job->setKey(account);
    QObject::connect(job, &QKeychain::Job::finished, context, [job, found = std::move(found)] {
        if (job->error() == QKeychain::NoError && !job->textData().isEmpty()) found(job->textData());
    });
    job->start();
}

void RememberPassword(const QString& account, const QString& password) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setInsecureFallback(false);
    job->setKey(account);
    job->setTextData(password);
    job->start();
}

void ForgetPassword(const QString& account) {
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setInsecureFallback(false);
    job->setKey(account);
    job->start();
}
