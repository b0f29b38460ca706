#pragma once

#include <QString>
#include <optional>

#include "transfer/publish.h"

class QWidget;

// The questions before and during a publish, asked over the window.

// A host key not yet in ~/.ssh/known_hosts, with its fingerprint as `ssh`
// prints it; true when the user trusts it ("Nein" is the default).
bool AskTrustHost(QWidget* window, const QString& host, const QString& keyType, const QString& fingerprint);

// An FTPS certificate the system's certificates do not confirm, why
// ("TLS-Zertifikat, selbst signiert") and its SHA-256 fingerprint; true
// when the user trusts it for this server ("Nein" is the default).
bool AskTrustCertificate(QWidget* window, const QString& server, const QString& why, const QString& fingerprint);

// The passphrase of an encrypted key; nothing when the user skips the key.
std::optional<QString> AskPassphrase(QWidget* window, const QString& keyFile);

// The files the page names that stay behind, one line each with its reason,
// at most 20 lines: "Nicht übertragen:\n../oben.png (außerhalb des
// Ordners)\nfoto.jpg (fehlt)". Names printed as core::PrintableName prints
// them.
QString LeftOutLine(const std::vector<transfer::TLeftOut>& leftOut);

// True when nothing is left out, or the user publishes so.
bool MayLeaveOut(QWidget* window, const std::vector<transfer::TLeftOut>& leftOut);

// Once the pictures are rebuilt for the web: what was done to them ("14
// Fotos verkleinert (52,3 MB → 3,4 MB), Ortsangaben aus 9 entfernt") and
// those that cannot go, named with their reason; true when the user
// publishes so.
bool MaySendPictures(QWidget* window, const pictures::TPicturesDone& done,
                     const std::vector<std::string>& notCleanable);
