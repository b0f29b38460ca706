#include "transfer/transfer_messages.h"

#include <string_view>
#include <variant>

#include "core/folder_names.h"

namespace transfer {
namespace {

using TKey = std::variant<TFault, TCause, TText>;

struct TWording {
    TKey key;
    const char* words;
};

// {1}, {2}, {3}: the subject's names in order; {d}: the detail. An error's
// words end without a full stop, which the message adds.
const TWording kWordings[] = {
    // Reaching the server.
    {TFault::NoServerGiven, "Bitte den Server angeben"},
    {TFault::ServerNameInvalid, "Der Servername „{1}“ ist ungültig. Bitte den Servernamen prüfen"},
    {TFault::UnknownHost, "Den Server „{1}“ gibt es nicht: der Name ist unbekannt. Bitte den Servernamen prüfen"},
    {TFault::HostNotResolved,
     "Der Servername „{1}“ lässt sich nicht auflösen ({d}). Besteht eine Verbindung zum Netz?"},
    {TFault::ConnectionRefused,
     "Der Server „{1}“ (Port {2}) weist die Verbindung ab. Läuft dort ein {3}-Dienst auf diesem Port?"},
    {TFault::HostUnreachable, "Der Server „{1}“ (Port {2}) ist nicht erreichbar. Besteht eine Verbindung zum Netz?"},
    {TFault::NoAnswer, "Der Server „{1}“ (Port {2}) antwortet nicht (Zeitüberschreitung)"},
    {TFault::NoConnection, "Keine Verbindung zum Server „{1}“ (Port {2}): {d}"},
    {TFault::EndedWithoutSsh,
     "Der Server „{1}“ hat die Verbindung beendet, ohne SSH zu sprechen ({d}). Ist der Port der des SFTP-Dienstes?"},
    {TFault::SshNotUnderstood, "Der Server „{1}“ spricht kein SSH, das hier verstanden wird"},
    {TFault::NoSftp, "Der Server bietet kein SFTP an"},
    {TFault::NoTls,
     "Der Server „{1}“ (Port {2}) bietet kein FTP mit TLS an; ohne Verschlüsselung wird das Kennwort nicht gesendet"},
    {TFault::TlsFailed, "Die verschlüsselte Verbindung zum Server „{1}“ (Port {2}) kommt nicht zustande"},
    {TFault::FtpNotUnderstood, "Der Server „{1}“ (Port {2}) spricht kein FTP, das hier verstanden wird"},
    {TFault::NotHttps,
     "Die Adresse „{1}“ beginnt nicht mit https://; ohne Verschlüsselung werden Benutzername und Kennwort nicht "
     "gesendet"},
    {TFault::AddressInvalid, "Die Adresse „{1}“ ist ungültig. Bitte die Adresse prüfen (https://server/ordner/)"},
    {TFault::NoWebDav, "Unter „{1}“ antwortet kein WebDAV-Server. Bitte die Adresse prüfen"},
    {TFault::NoBucketGiven, "Bitte den Bucket angeben"},
    {TFault::NoRegionGiven, "Bitte die Region angeben"},
    {TFault::UserHasLineBreak, "Der Benutzername enthält einen Zeilenumbruch; so lässt er sich über FTP nicht senden"},
    {TFault::PasswordHasLineBreak, "Das Kennwort enthält einen Zeilenumbruch; so lässt es sich über FTP nicht senden"},
    {TFault::NameHasLineBreak, "„{1}“ enthält einen Zeilenumbruch; so lässt es sich über FTP nicht senden"},
    // The libraries.
    {TFault::NoSshLibrary, "Die SSH-Bibliothek lässt sich nicht anlegen"},
    {TFault::NoCurl, "Die Bibliothek für FTPS und HTTP (libcurl) lässt sich nicht einrichten"},
    {TFault::CurlWithoutOpenSsl, "Diese libcurl prüft Zertifikate nicht mit OpenSSL; FTPS ist so nicht möglich"},
    {TFault::NoSha256, "SHA-256 steht nicht zur Verfügung (libcrypto)"},
    {TFault::NoMemoryForCommand, "Zu wenig Speicher für den Befehl an den Server"},
    // Trusting the server.
    {TFault::HostKeyNotShown, "Der Server hat keinen Schlüssel gezeigt"},
    {TFault::HostKeyChanged,
     "Der Schlüssel des Servers {1} ist nicht mehr der, den ~/.ssh/known_hosts für ihn kennt (jetzt {2} {3}). Das "
     "kann ein Angriff sein; es wurde nichts gesendet. Hat der Server wirklich einen neuen Schlüssel, entfernen Sie "
     "den alten Eintrag mit „ssh-keygen -R {1}“."},
    {TFault::HostKeyNotTrusted, "Dem Schlüssel des Servers {1} wurde nicht vertraut; es wurde nichts gesendet"},
    {TFault::HostKeyNotRecorded, "Der Schlüssel des Servers lässt sich nicht in ~/.ssh/known_hosts eintragen"},
    {TFault::KnownHostsUnreadable, "~/.ssh/known_hosts lässt sich nicht lesen"},
    {TFault::CertificateChanged,
     "Das Zertifikat des Servers {1} ist nicht mehr das, dem Sie vertraut haben (jetzt SHA-256 {2}). Das kann ein "
     "Angriff sein; es wurde nichts gesendet. Hat der Server wirklich ein neues Zertifikat, entfernen Sie seine Zeile "
     "aus „{3}“."},
    {TFault::CertificateNotTrusted, "Dem Zertifikat des Servers {1} wurde nicht vertraut; es wurde nichts gesendet"},
    {TFault::CertificateNotPinned, "Das Zertifikat lässt sich nicht merken"},
    // Logging in.
    {TFault::LoginFailed, "Die Anmeldung ist gescheitert"},
    {TFault::PasswordRefused,
     "Anmeldung als „{1}“ abgelehnt: das Kennwort ist falsch (oder der Benutzername). Bitte beides prüfen"},
    {TFault::TooManyPrompts,
     "Anmeldung als „{1}“ abgebrochen: der Server fragt nach {2} Antworten noch weiter. Bitte Kennwort und "
     "Benutzernamen prüfen"},
    {TFault::NoPasswordLogin, "Der Server nimmt keine Anmeldung mit Kennwort an; bitte eine Schlüsseldatei angeben"},
    {TFault::NoKeyLogin, "Der Server nimmt keine Anmeldung mit Schlüssel an; bitte das Kennwort angeben"},
    {TFault::NoKeyFound,
     "Anmeldung als „{1}“ nicht möglich: kein Schlüssel gefunden (SSH-Agent, ~/.ssh/id_ed25519, id_ecdsa, id_rsa). "
     "Bitte ein Kennwort oder eine Schlüsseldatei angeben"},
    {TFault::KeyRefused,
     "Anmeldung als „{1}“ abgelehnt: der Server nimmt den Schlüssel nicht an ({2}). Ist er dort eingetragen, und nimmt "
     "der Server Schlüssel dieses Typs an?"},
    {TFault::KeyFileMissing, "Die Schlüsseldatei „{1}“ gibt es nicht"},
    {TFault::KeyFileUnreadable, "Die Schlüsseldatei „{1}“ lässt sich nicht lesen, oder die Passphrase ist falsch"},
    {TFault::AccessKeyRefused,
     "Der Zugangsschlüssel „{1}“ wird abgelehnt: er oder der geheime Schlüssel ist falsch, oder er darf hier nicht "
     "schreiben. Bitte beide prüfen"},
    {TFault::BucketMissing, "Den Bucket „{1}“ gibt es unter „{2}“ nicht. Bitte Bucket, Region und Adresse prüfen"},
    // On the server.
    {TFault::ServerFolderMissing,
     "Den Ordner „{1}“ gibt es auf dem Server nicht. Bitte den Ordner auf dem Server prüfen"},
    {TFault::FolderNotListed, "Der Ordner „{1}“ auf dem Server lässt sich nicht lesen"},
    {TFault::FolderNotListedWhole, "Der Ordner „{1}“ auf dem Server lässt sich nicht ganz lesen"},
    {TFault::FolderNotCreated, "Der Ordner „{1}“ lässt sich auf dem Server nicht anlegen"},
    {TFault::FileNotCreated, "Die Datei „{1}“ lässt sich auf dem Server nicht anlegen"},
    {TFault::NotWritten, "Das Schreiben von „{1}“ auf dem Server ist gescheitert"},
    {TFault::NotRenamed, "„{1}“ lässt sich auf dem Server nicht in „{2}“ umbenennen"},
    {TFault::NotRemoved, "„{1}“ lässt sich auf dem Server nicht löschen"},
    {TFault::NotQueried, "„{1}“ lässt sich auf dem Server nicht abfragen"},
    {TFault::NotFetched, "„{1}“ lässt sich nicht vom Server holen"},
    {TFault::FetchedShort, "„{1}“ ist nicht ganz angekommen ({2} von {3} Bytes): die Verbindung hat Daten verloren"},
    {TFault::ArrivedShort,
     "„{1}“ ist auf dem Server nicht ganz angekommen ({2} von {3} Bytes): die Verbindung hat Daten verloren"},
    {TFault::LinkToNoFolder, "Auf dem Server ist „{1}“ eine Verknüpfung, die zu keinem Ordner führt"},
    {TFault::FileInFolderPlace, "Auf dem Server ist „{1}“ eine Datei, kein Ordner"},
    {TFault::FolderInFilePlace, "Auf dem Server ist „{1}“ ein Ordner, keine Datei; er bleibt"},
    // What a stop left of the file being sent.
    {TFault::FileStays, "„{1}“ ist auf dem Server geblieben, wie es war"},
    {TFault::FileNotSent, "„{1}“ wurde nicht übertragen"},
    {TFault::FileMissingUntilNextPublish,
     "„{1}“ fehlt jetzt auf dem Server; die bisherige Fassung liegt dort als „{2}“, und das nächste "
     "„Veröffentlichen“ stellt sie wieder her"},
    {TFault::OldFileBeside, "„{1}“ ist neu auf dem Server, die alte Fassung liegt dort noch als „{2}“"},
    // Here.
    {TFault::PageFolderNotOpened, "Der Ordner der Seite „{1}“ lässt sich nicht öffnen"},
    {TFault::PageNotRead, "Die Seite „{1}“ lässt sich nicht lesen"},
    {TFault::PageLeftOut, "Die Seite „{1}“ lässt sich nicht lesen {2}"},
    {TFault::PageNotReadWhole, "Die Seite „{1}“ lässt sich nicht ganz lesen"},
    {TFault::FileNotRead, "Die Datei „{1}“ lässt sich nicht lesen"},
    {TFault::FileNotReadWhole, "Die Datei „{1}“ lässt sich nicht ganz lesen"},
    {TFault::NoMemoryForPicture, "Für „{1}“ ist kein Speicher frei"},
    {TFault::LocationStays, "„{1}“ wurde nicht übertragen: seine Ortsangaben lassen sich nicht entfernen"},
    {TFault::RecordNotWritten, "Die Aufzeichnung des Gesendeten „{1}“ lässt sich nicht schreiben"},
    {TFault::FolderHereNotMade, "Der Ordner „{1}“ lässt sich hier nicht anlegen oder öffnen"},
    {TFault::FolderHereNotEmpty,
     "Der Ordner „{1}“ ist nicht leer. Eine Website wird nur in einen leeren Ordner geholt, nie mit anderem "
     "vermischt; bitte einen neuen Ordner wählen"},
    {TFault::FileHereNotKept, "„{1}“ lässt sich hier nicht speichern"},
    {TFault::StartPageInvalid, "„{1}“ ist kein Name einer Seite im Ordner auf dem Server (.html oder .htm)"},
    {TFault::StartPageNotFetched, "Die Startseite „{1}“ lässt sich nicht holen {2}"},
    // The publish, or the fetch, as a whole.
    {TFault::Cancelled, "Veröffentlichen abgebrochen"},
    {TFault::PublishFailed, "Veröffentlichen gescheitert: {d}"},
    {TFault::FetchFailed, "Holen gescheitert: {d}"},
    // The check online.
    {TFault::NotAnAddress, "Nicht geprüft: „{1}“ ist keine Adresse einer Seite im Netz (http:// oder https://)"},
    {TFault::PageHereUnreadable, "Nicht geprüft: die Seite „{1}“ lässt sich hier nicht lesen"},
    {TFault::OnlineHostUnknown, "Nicht online: den Server von „{1}“ gibt es nicht (der Name ist unbekannt)"},
    {TFault::OnlineUnreachable, "Nicht online: der Server von „{1}“ ist nicht erreichbar"},
    {TFault::OnlineNoAnswer, "Nicht online: der Server von „{1}“ antwortet nicht (Zeitüberschreitung)"},
    {TFault::CertificateInvalid, "Nicht geprüft: das Zertifikat von „{1}“ ist nicht gültig"},
    {TFault::CheckCancelled, "Nicht geprüft: abgebrochen"},
    {TFault::EndlessRedirects, "Nicht online: „{1}“ leitet immer weiter um"},
    {TFault::PageNotFetched, "Nicht online: „{1}“ lässt sich nicht abrufen"},
    {TFault::PageNotFound, "Nicht online: der Server meldet für „{1}“ den Fehler 404 (nicht gefunden)"},
    {TFault::ServerReportsError, "Nicht online: der Server meldet für „{1}“ den Fehler {2}"},

    // Why.
    {TCause::NotThere, "den Ordner oder die Datei gibt es auf dem Server nicht"},
    {TCause::NoPermission, "keine Schreibrechte dort"},
    {TCause::DiskFull, "der Speicher auf dem Server ist voll"},
    {TCause::ServerError, "der Server meldet einen Fehler"},
    {TCause::ServerErrorWhileWriting, "der Server meldet einen Fehler ({d}); meist ist der Speicher dort voll"},
    {TCause::Silent, "der Server antwortet nicht mehr (Zeitüberschreitung nach {d} Sekunden)"},
    {TCause::ConnectionCut, "die Verbindung zum Server ist abgebrochen"},
    {TCause::NotThereOrNoPermission,
     "den Ordner oder die Datei gibt es auf dem Server nicht, oder es fehlen die Schreibrechte (Ordner auf dem "
     "Server prüfen)"},
    {TCause::ServerEnded, "der Server hat die Verbindung beendet"},
    {TCause::NoSettingsFolder, "kein Ordner für Einstellungen"},
    {TCause::NotWritable, "„{1}“ lässt sich nicht schreiben"},
    {TCause::NotReplaced, "„{1}“ lässt sich nicht ersetzen"},
    {TCause::LocationStillThere, "sie stehen danach noch darin"},
    {TCause::ReplyNotUnderstood, "die Antwort des Servers wird hier nicht verstanden"},

    // Lines that are no error.
    {TText::OnlineSame, "Online – stimmt mit der Seite überein"},
    {TText::OnlineDifferent, "Online, aber anders als die Seite (Zwischenspeicher?)"},
    {TText::WrongCharset,
     "Der Server gibt die Seite als „{1}“ aus; Umlaute werden dort falsch angezeigt (richtig wäre windows-1252)."},
    {TText::PagesCounted, "{1} Seiten, "},
    {TText::OneFileCounted, "{1} Datei übertragen, {2} unverändert"},
    {TText::FilesCounted, "{1} Dateien übertragen, {2} unverändert"},
    {TText::Cancelled, "Abgebrochen."},
    {TText::NotSent, "; nicht übertragen: {1}"},
    {TText::OnePageCounted, "1 Seite, "},
    {TText::OneFileFetched, "{1} Datei geholt"},
    {TText::FilesFetched, "{1} Dateien geholt"},
    {TText::NotFetched, "; nicht geholt: {1}"},
    {TText::LinkOnServer, "(Verknüpfung auf dem Server)"},
    {TText::NotOurPage, "(keine Seite von HTML Tavirel)"},
    {TText::TooLarge, "(zu groß)"},
    {TText::Refused, "(vom Server nicht herausgegeben)"},
    {TText::AlreadyHere, "(liegt hier schon anders vor)"},
    {TText::LocalUserName, "(lokaler Benutzername)"},
    {TText::KeyOfType, "{1}, Typ {2}"},
    {TText::CertificateKind, "TLS-Zertifikat, {1}"},
    {TText::SelfSigned, "selbst signiert"},
    {TText::ForAnotherName, "für einen anderen Namen ausgestellt"},
    {TText::Expired, "abgelaufen"},
    {TText::NotYetValid, "noch nicht gültig"},
    {TText::UnknownIssuer, "von einer unbekannten Stelle ausgestellt"},
    {TText::NotConfirmed, "nicht bestätigt: {1}"},
};

std::string_view WordsOf(const TKey& key) {
    for (const TWording& row : kWordings)
        if (row.key == key) return row.words;
    return {};
}

// One pass over the words: what goes in is never read for places again, so
// a "{" in a name stays as it is.
std::string Fill(std::string_view words, const TSubject& subject, const std::string& detail, bool& placedDetail) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const char place = i + 2 < words.size() && words[i] == '{' && words[i + 2] == '}' ? words[i + 1] : '\0';
        if (place == 'd') {
            out += core::PrintableName(detail);
            placedDetail = true;
        } else if (place >= '1' && place <= '9') {
            const auto n = static_cast<std::size_t>(place - '1');
            if (n < subject.names.size()) out += core::PrintableName(subject.names[n]);
        } else {
            out += words[i];
            continue;
        }
        i += 2;
    }
    return out;
}

}  // namespace

std::string ErrorMessage(TFault fault, const TSubject& subject, TCause cause, const std::string& detail) {
    bool placed = false;
    std::string message = Fill(WordsOf(fault), subject, detail, placed);
    if (cause != TCause::None) message += ": " + Fill(WordsOf(cause), subject, detail, placed);
    if (!placed && !detail.empty()) message += " (" + core::PrintableName(detail) + ")";
    if (!message.empty() && message.back() != '.' && message.back() != '?') message += '.';
    return message;
}

std::string Text(TText text, const TSubject& subject) {
    bool placed = false;
    return Fill(WordsOf(text), subject, {}, placed);
}

}  // namespace transfer
