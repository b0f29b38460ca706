// The words of every message the transfer shows, in one table: the other
// tests look at the codes only.
#include "transfer/transfer_messages.h"

#include <gtest/gtest.h>

#include <variant>

#include "transfer/fingerprint_text.h"

namespace {

using transfer::TCause;
using transfer::TFault;
using transfer::TText;

struct TRow {
    std::variant<TFault, TCause, TText> code;
    transfer::TSubject subject;
    std::string detail;  // for errors: the library's words
    std::string expected;
};

// A cause after the attempt it explains.
std::string WordsOf(const TRow& row) {
    if (const auto* fault = std::get_if<TFault>(&row.code))
        return transfer::TTransferError(*fault, row.subject, TCause::None, row.detail).what();
    if (const auto* cause = std::get_if<TCause>(&row.code))
        return transfer::TTransferError(TFault::NotRemoved, row.subject, *cause, row.detail).what();
    return transfer::Text(std::get<TText>(row.code), row.subject);
}

const TRow kRows[] = {
    {TFault::NoServerGiven, {}, "", "Bitte den Server angeben."},
    {TFault::ServerNameInvalid, "h/", "", "Der Servername „h/“ ist ungültig. Bitte den Servernamen prüfen."},
    {TFault::UnknownHost, "h", "",
     "Den Server „h“ gibt es nicht: der Name ist unbekannt. Bitte den Servernamen prüfen."},
    {TFault::HostNotResolved, "h", "w",
     "Der Servername „h“ lässt sich nicht auflösen (w). Besteht eine Verbindung zum Netz?"},
    {TFault::ConnectionRefused,
     {"h", "22", "SFTP"},
     "",
     "Der Server „h“ (Port 22) weist die Verbindung ab. Läuft dort ein SFTP-Dienst auf diesem Port?"},
    {TFault::HostUnreachable,
     {"h", "22"},
     "",
     "Der Server „h“ (Port 22) ist nicht erreichbar. Besteht eine Verbindung zum Netz?"},
    {TFault::NoAnswer, {"h", "22"}, "", "Der Server „h“ (Port 22) antwortet nicht (Zeitüberschreitung)."},
    {TFault::NoConnection, {"h", "22"}, "w", "Keine Verbindung zum Server „h“ (Port 22): w."},
    {TFault::EndedWithoutSsh, "h", "w",
     "Der Server „h“ hat die Verbindung beendet, ohne SSH zu sprechen (w). Ist der Port der des SFTP-Dienstes?"},
    {TFault::SshNotUnderstood, "h", "w", "Der Server „h“ spricht kein SSH, das hier verstanden wird (w)."},
    {TFault::NoSftp, {}, "w", "Der Server bietet kein SFTP an (w)."},
    {TFault::NoTls,
     {"h", "21"},
     "",
     "Der Server „h“ (Port 21) bietet kein FTP mit TLS an; ohne Verschlüsselung wird das Kennwort nicht gesendet."},
    {TFault::TlsFailed,
     {"h", "21"},
     "w",
     "Die verschlüsselte Verbindung zum Server „h“ (Port 21) kommt nicht zustande (w)."},
    {TFault::FtpNotUnderstood,
     {"h", "21"},
     "w",
     "Der Server „h“ (Port 21) spricht kein FTP, das hier verstanden wird (w)."},
    {TFault::NotHttps, "http://h/", "",
     "Die Adresse „http://h/“ beginnt nicht mit https://; ohne Verschlüsselung werden Benutzername und Kennwort "
     "nicht gesendet."},
    {TFault::AddressInvalid, "h:x", "",
     "Die Adresse „h:x“ ist ungültig. Bitte die Adresse prüfen (https://server/ordner/)."},
    {TFault::NoWebDav, "https://h/", "w",
     "Unter „https://h/“ antwortet kein WebDAV-Server. Bitte die Adresse prüfen (w)."},
    {TFault::NoBucketGiven, {}, "", "Bitte den Bucket angeben."},
    {TFault::NoRegionGiven, {}, "", "Bitte die Region angeben."},
    {TFault::AccessKeyRefused, "AK", "",
     "Der Zugangsschlüssel „AK“ wird abgelehnt: er oder der geheime Schlüssel ist falsch, oder er darf hier nicht "
     "schreiben. Bitte beide prüfen."},
    {TFault::BucketMissing,
     {"b", "https://s3/"},
     "",
     "Den Bucket „b“ gibt es unter „https://s3/“ nicht. Bitte Bucket, Region und Adresse prüfen."},
    {TFault::UserHasLineBreak,
     {},
     "",
     "Der Benutzername enthält einen Zeilenumbruch; so lässt er sich über FTP nicht senden."},
    {TFault::PasswordHasLineBreak,
     {},
     "",
     "Das Kennwort enthält einen Zeilenumbruch; so lässt es sich über FTP nicht senden."},
    {TFault::NameHasLineBreak, "a\nb", "",
     "„a%0Ab“ enthält einen Zeilenumbruch; so lässt es sich über FTP nicht senden."},
    {TFault::NoSshLibrary, {}, "", "Die SSH-Bibliothek lässt sich nicht anlegen."},
    {TFault::NoCurl, {}, "", "Die Bibliothek für FTPS und HTTP (libcurl) lässt sich nicht einrichten."},
    {TFault::CurlWithoutOpenSsl,
     {},
     "",
     "Diese libcurl prüft Zertifikate nicht mit OpenSSL; FTPS ist so nicht möglich."},
    {TFault::NoSha256, {}, "", "SHA-256 steht nicht zur Verfügung (libcrypto)."},
    {TFault::NoMemoryForCommand, {}, "", "Zu wenig Speicher für den Befehl an den Server."},
    {TFault::HostKeyNotShown, {}, "w", "Der Server hat keinen Schlüssel gezeigt (w)."},
    // The fingerprints as the transfer passes them: an SSH one, and an
    // SHA-256 in hex in groups of four bytes.
    {TFault::HostKeyChanged,
     {"[h]:2222", "ED25519", transfer::ShownFingerprint("SHA256:a/b")},
     "",
     "Der Schlüssel des Servers [h]:2222 ist nicht mehr der, den ~/.ssh/known_hosts für ihn kennt (jetzt ED25519 "
     "SHA256:\u2060a/\u2060b). Das kann ein Angriff sein; es wurde nichts gesendet. Hat der Server wirklich einen "
     "neuen "
     "Schlüssel, entfernen Sie den alten Eintrag mit „ssh-keygen -R [h]:2222“."},
    {TFault::HostKeyNotTrusted, "h", "", "Dem Schlüssel des Servers h wurde nicht vertraut; es wurde nichts gesendet."},
    {TFault::HostKeyNotRecorded,
     {},
     "w",
     "Der Schlüssel des Servers lässt sich nicht in ~/.ssh/known_hosts eintragen (w)."},
    {TFault::KnownHostsUnreadable, {}, "w", "~/.ssh/known_hosts lässt sich nicht lesen (w)."},
    {TFault::CertificateChanged,
     {"h:990", transfer::ShownFingerprint("AB:CD:EF:01:23:45:67:89:AB"), "/p/pins"},
     "",
     "Das Zertifikat des Servers h:990 ist nicht mehr das, dem Sie vertraut haben (jetzt SHA-256 "
     "AB:\u2060CD:\u2060EF:\u206001\u00A023:\u206045:\u206067:\u206089\u00A0AB). Das kann ein Angriff sein; es wurde "
     "nichts gesendet. Hat der Server wirklich ein neues Zertifikat, entfernen Sie seine Zeile aus „/p/pins“."},
    {TFault::CertificateNotTrusted, "h:990", "",
     "Dem Zertifikat des Servers h:990 wurde nicht vertraut; es wurde nichts gesendet."},
    {TFault::CertificateNotPinned, {}, "", "Das Zertifikat lässt sich nicht merken."},
    {TFault::LoginFailed, {}, "w", "Die Anmeldung ist gescheitert (w)."},
    {TFault::PasswordRefused, "u", "",
     "Anmeldung als „u“ abgelehnt: das Kennwort ist falsch (oder der Benutzername). Bitte beides prüfen."},
    {TFault::TooManyPrompts,
     {"u", "10"},
     "",
     "Anmeldung als „u“ abgebrochen: der Server fragt nach 10 Antworten noch weiter. Bitte Kennwort und Benutzernamen "
     "prüfen."},
    {TFault::NoPasswordLogin,
     {},
     "",
     "Der Server nimmt keine Anmeldung mit Kennwort an; bitte eine Schlüsseldatei angeben."},
    {TFault::NoKeyLogin, {}, "", "Der Server nimmt keine Anmeldung mit Schlüssel an; bitte das Kennwort angeben."},
    {TFault::NoKeyFound, "u", "",
     "Anmeldung als „u“ nicht möglich: kein Schlüssel gefunden (SSH-Agent, ~/.ssh/id_ed25519, id_ecdsa, id_rsa). Bitte "
     "ein Kennwort oder eine Schlüsseldatei angeben."},
    {TFault::KeyRefused,
     {"u", "id_rsa, Typ RSA"},
     "",
     "Anmeldung als „u“ abgelehnt: der Server nimmt den Schlüssel nicht an (id_rsa, Typ RSA). Ist er dort eingetragen, "
     "und nimmt der Server Schlüssel dieses Typs an?"},
    {TFault::KeyFileMissing, "k", "", "Die Schlüsseldatei „k“ gibt es nicht."},
    {TFault::KeyFileUnreadable, "k", "",
     "Die Schlüsseldatei „k“ lässt sich nicht lesen, oder die Passphrase ist falsch."},
    {TFault::ServerFolderMissing, "x", "",
     "Den Ordner „x“ gibt es auf dem Server nicht. Bitte den Ordner auf dem Server prüfen."},
    {TFault::FolderNotListed, "x", "", "Der Ordner „x“ auf dem Server lässt sich nicht lesen."},
    {TFault::FolderNotListedWhole, "x", "", "Der Ordner „x“ auf dem Server lässt sich nicht ganz lesen."},
    {TFault::FolderNotCreated, "x", "", "Der Ordner „x“ lässt sich auf dem Server nicht anlegen."},
    {TFault::FileNotCreated, "x", "", "Die Datei „x“ lässt sich auf dem Server nicht anlegen."},
    {TFault::NotWritten, "x", "", "Das Schreiben von „x“ auf dem Server ist gescheitert."},
    {TFault::NotRenamed, {"x", "y"}, "", "„x“ lässt sich auf dem Server nicht in „y“ umbenennen."},
    // What goes in is not read for places again, and prints escaped.
    {TFault::NotRemoved, "{1}\x7f", "", "„{1}%7F“ lässt sich auf dem Server nicht löschen."},
    {TFault::NotQueried, "x", "", "„x“ lässt sich auf dem Server nicht abfragen."},
    {TFault::NotFetched, "x", "", "„x“ lässt sich nicht vom Server holen."},
    {TFault::ArrivedShort,
     {"x", "1", "2"},
     "",
     "„x“ ist auf dem Server nicht ganz angekommen (1 von 2 Bytes): die Verbindung hat Daten verloren."},
    {TFault::LinkToNoFolder, "x", "", "Auf dem Server ist „x“ eine Verknüpfung, die zu keinem Ordner führt."},
    {TFault::FileInFolderPlace, "x", "", "Auf dem Server ist „x“ eine Datei, kein Ordner."},
    {TFault::FolderInFilePlace, "x", "", "Auf dem Server ist „x“ ein Ordner, keine Datei; er bleibt."},
    {TFault::FileStays, "x", "", "„x“ ist auf dem Server geblieben, wie es war."},
    {TFault::FileNotSent, "x", "", "„x“ wurde nicht übertragen."},
    {TFault::FileMissingUntilNextPublish,
     {"x", "x.alt"},
     "",
     "„x“ fehlt jetzt auf dem Server; die bisherige Fassung liegt dort als „x.alt“, und das nächste „Veröffentlichen“ "
     "stellt sie wieder her."},
    {TFault::OldFileBeside,
     {"x", "x.alt"},
     "",
     "„x“ ist neu auf dem Server, die alte Fassung liegt dort noch als „x.alt“."},
    {TFault::NotFetched, "x", "", "„x“ lässt sich nicht vom Server holen."},
    {TFault::FetchedShort,
     {"x", "1", "2"},
     "",
     "„x“ ist nicht ganz angekommen (1 von 2 Bytes): die Verbindung hat Daten verloren."},
    {TFault::PageFolderNotOpened, "x", "", "Der Ordner der Seite „x“ lässt sich nicht öffnen."},
    {TFault::PageNotRead, "x", "", "Die Seite „x“ lässt sich nicht lesen."},
    {TFault::PageLeftOut, {"x", "(fehlt)"}, "", "Die Seite „x“ lässt sich nicht lesen (fehlt)."},
    {TFault::PageNotReadWhole, "x", "", "Die Seite „x“ lässt sich nicht ganz lesen."},
    {TFault::FileNotRead, "x", "", "Die Datei „x“ lässt sich nicht lesen."},
    {TFault::FileNotReadWhole, "x", "", "Die Datei „x“ lässt sich nicht ganz lesen."},
    {TFault::NoMemoryForPicture, "x", "", "Für „x“ ist kein Speicher frei."},
    {TFault::LocationStays, "x", "w", "„x“ wurde nicht übertragen: seine Ortsangaben lassen sich nicht entfernen (w)."},
    {TFault::RecordNotWritten, "x", "", "Die Aufzeichnung des Gesendeten „x“ lässt sich nicht schreiben."},
    {TFault::FolderHereNotMade, "x", "", "Der Ordner „x“ lässt sich hier nicht anlegen oder öffnen."},
    {TFault::FolderHereNotEmpty, "x", "",
     "Der Ordner „x“ ist nicht leer. Eine Website wird nur in einen leeren Ordner geholt, nie mit anderem vermischt; "
     "bitte einen neuen Ordner wählen."},
    {TFault::FileHereNotKept, "x", "", "„x“ lässt sich hier nicht speichern."},
    {TFault::StartPageInvalid, "x", "", "„x“ ist kein Name einer Seite im Ordner auf dem Server (.html oder .htm)."},
    {TFault::StartPageNotFetched, {"x", "(fehlt)"}, "", "Die Startseite „x“ lässt sich nicht holen (fehlt)."},
    {TFault::Cancelled, {}, "", "Veröffentlichen abgebrochen."},
    {TFault::PublishFailed, {}, "w", "Veröffentlichen gescheitert: w."},
    {TFault::FetchFailed, {}, "w", "Holen gescheitert: w."},
    {TFault::NotAnAddress, "a", "",
     "Nicht geprüft: „a“ ist keine Adresse einer Seite im Netz (http:// oder https://)."},
    {TFault::PageHereUnreadable, "x", "", "Nicht geprüft: die Seite „x“ lässt sich hier nicht lesen."},
    {TFault::OnlineHostUnknown, "a", "", "Nicht online: den Server von „a“ gibt es nicht (der Name ist unbekannt)."},
    {TFault::OnlineUnreachable, "a", "", "Nicht online: der Server von „a“ ist nicht erreichbar."},
    {TFault::OnlineNoAnswer, "a", "", "Nicht online: der Server von „a“ antwortet nicht (Zeitüberschreitung)."},
    {TFault::CertificateInvalid, "a", "w", "Nicht geprüft: das Zertifikat von „a“ ist nicht gültig (w)."},
    {TFault::CheckCancelled, {}, "", "Nicht geprüft: abgebrochen."},
    {TFault::EndlessRedirects, "a", "", "Nicht online: „a“ leitet immer weiter um."},
    {TFault::PageNotFetched, "a", "w", "Nicht online: „a“ lässt sich nicht abrufen (w)."},
    {TFault::PageNotFound, "a", "", "Nicht online: der Server meldet für „a“ den Fehler 404 (nicht gefunden)."},
    {TFault::ServerReportsError, {"a", "400"}, "", "Nicht online: der Server meldet für „a“ den Fehler 400."},
    // Why, after "„x“ lässt sich auf dem Server nicht löschen".
    {TCause::NotThere, "x", "w",
     "„x“ lässt sich auf dem Server nicht löschen: den Ordner oder die Datei gibt es auf dem Server nicht (w)."},
    {TCause::NoPermission, "x", "w", "„x“ lässt sich auf dem Server nicht löschen: keine Schreibrechte dort (w)."},
    {TCause::DiskFull, "x", "w",
     "„x“ lässt sich auf dem Server nicht löschen: der Speicher auf dem Server ist voll (w)."},
    {TCause::ServerError, "x", "w", "„x“ lässt sich auf dem Server nicht löschen: der Server meldet einen Fehler (w)."},
    {TCause::ServerErrorWhileWriting, "x", "w",
     "„x“ lässt sich auf dem Server nicht löschen: der Server meldet einen Fehler (w); meist ist der Speicher dort "
     "voll."},
    {TCause::Silent, "x", "30",
     "„x“ lässt sich auf dem Server nicht löschen: der Server antwortet nicht mehr (Zeitüberschreitung nach 30 "
     "Sekunden)."},
    {TCause::ConnectionCut, "x", "w",
     "„x“ lässt sich auf dem Server nicht löschen: die Verbindung zum Server ist abgebrochen (w)."},
    {TCause::NotThereOrNoPermission, "x", "",
     "„x“ lässt sich auf dem Server nicht löschen: den Ordner oder die Datei gibt es auf dem Server nicht, oder es "
     "fehlen die Schreibrechte (Ordner auf dem Server prüfen)."},
    {TCause::ServerEnded, "x", "",
     "„x“ lässt sich auf dem Server nicht löschen: der Server hat die Verbindung beendet."},
    {TCause::NoSettingsFolder, {}, "", "„“ lässt sich auf dem Server nicht löschen: kein Ordner für Einstellungen."},
    {TCause::NotWritable, "x", "", "„x“ lässt sich auf dem Server nicht löschen: „x“ lässt sich nicht schreiben."},
    {TCause::NotReplaced, "x", "w", "„x“ lässt sich auf dem Server nicht löschen: „x“ lässt sich nicht ersetzen (w)."},
    {TCause::LocationStillThere, "x", "", "„x“ lässt sich auf dem Server nicht löschen: sie stehen danach noch darin."},
    {TCause::ReplyNotUnderstood, "x", "",
     "„x“ lässt sich auf dem Server nicht löschen: die Antwort des Servers wird hier nicht verstanden."},
    // Lines that are no error.
    {TText::OnlineSame, {}, "", "Online – stimmt mit der Seite überein"},
    {TText::OnlineDifferent, {}, "", "Online, aber anders als die Seite (Zwischenspeicher?)"},
    {TText::WrongCharset, "UTF-8", "",
     "Der Server gibt die Seite als „UTF-8“ aus; Umlaute werden dort falsch angezeigt (richtig wäre windows-1252)."},
    {TText::PagesCounted, "3", "", "3 Seiten, "},
    {TText::OneFileCounted, {"1", "2"}, "", "1 Datei übertragen, 2 unverändert"},
    {TText::FilesCounted, {"3", "4"}, "", "3 Dateien übertragen, 4 unverändert"},
    {TText::Cancelled, {}, "", "Abgebrochen."},
    {TText::NotSent, "a, b", "", "; nicht übertragen: a, b"},
    {TText::OnePageCounted, {}, "", "1 Seite, "},
    {TText::OneFileFetched, "1", "", "1 Datei geholt"},
    {TText::FilesFetched, "3", "", "3 Dateien geholt"},
    {TText::NotFetched, "a, b", "", "; nicht geholt: a, b"},
    {TText::LinkOnServer, {}, "", "(Verknüpfung auf dem Server)"},
    {TText::NotOurPage, {}, "", "(keine Seite von HTML Tavirel)"},
    {TText::TooLarge, {}, "", "(zu groß)"},
    {TText::Refused, {}, "", "(vom Server nicht herausgegeben)"},
    {TText::AlreadyHere, {}, "", "(liegt hier schon anders vor)"},
    {TText::LocalUserName, {}, "", "(lokaler Benutzername)"},
    {TText::KeyOfType, {"id_rsa", "RSA"}, "", "id_rsa, Typ RSA"},
    {TText::CertificateKind, "abgelaufen", "", "TLS-Zertifikat, abgelaufen"},
    {TText::SelfSigned, {}, "", "selbst signiert"},
    {TText::ForAnotherName, {}, "", "für einen anderen Namen ausgestellt"},
    {TText::Expired, {}, "", "abgelaufen"},
    {TText::NotYetValid, {}, "", "noch nicht gültig"},
    {TText::UnknownIssuer, {}, "", "von einer unbekannten Stelle ausgestellt"},
    {TText::NotConfirmed, "w", "", "nicht bestätigt: w"},
};

TEST(TransferMessages, EveryCodeHasItsWords) {
    for (const TRow& row : kRows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(WordsOf(row), row.expected);
    }
    // What a stop left of the file being sent follows the error.
    EXPECT_STREQ(transfer::TTransferError(TFault::Cancelled).Then(TFault::FileNotSent, "x").what(),
                 "Veröffentlichen abgebrochen. „x“ wurde nicht übertragen.");
}

}  // namespace
