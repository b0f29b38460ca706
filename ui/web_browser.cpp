// Why not simply QDesktopServices::openUrl: a file: URL of an .html file
// goes to the text/html handler, and that may be this very program, which
// offers itself for HTML files. A web browser is what handles http links.

#include "ui/web_browser.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ui {
namespace {

const QString kOwnEntry = QStringLiteral("tavirel.desktop");
const QString kOwnProgram = QStringLiteral("tavirel");

// Long enough for a slow desktop to answer; a query that hangs must not
// freeze the wizard for longer than this.
constexpr int kQueryMilliseconds = 5000;

// What the query prints, trimmed; empty when it is missing, fails or hangs.
QString AskDesktop(const QStringList& query) {
    QProcess process;
    process.start(query.first(), query.mid(1));
    if (!process.waitForFinished(kQueryMilliseconds)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A desktop entry's string escapes undone (\s \n \t \r \\).
QString Unescaped(const QString& value) {
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar c = value[++i];
        text += c == u's'   ? QChar(u' ')
                : c == u'n' ? QChar(u'\n')
                : c == u't' ? QChar(u'\t')
                : c == u'r' ? QChar(u'\r')
                            : c;
    }
    return text;
}

// The Exec value of the entry's main group; empty when there is none.
QString ExecValue(const QString& entryFile) {
    QFile file(entryFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    bool mainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype equals = line.indexOf(u'=');
        if (line.startsWith(u'['))
            mainGroup = line == QStringLiteral("[Desktop Entry]");
        else if (mainGroup && equals > 0 && line.first(equals).trimmed() == QStringLiteral("Exec"))
            return Unescaped(line.sliced(equals + 1).trimmed());
    }
    return {};
}

// The words of an Exec value: split at blanks, double quotes group, and
// inside them a backslash takes the next character as it is.
QStringList ExecWords(const QString& exec) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted && c == u'\\' && i + 1 < exec.size()) {
            word += exec[++i];
        } else if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (inWord) words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.append(word);
    return words;
}

// The command line of an Exec value for url. A URL code gets the encoded
// URL, a file code the local path; the other codes (icon, name, the entry's
// own location, the deprecated ones) stand for nothing here. An entry
// without a code gets url at the end, as xdg-open does.
QStringList ExecCommand(const QString& exec, const QUrl& url) {
    QStringList command;
    bool placed = false;
    for (const QString& word : ExecWords(exec)) {
        if (word.size() == 2 && word[0] == u'%' && !QStringLiteral("uUfF%").contains(word[1])) continue;
        QString expanded;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word[i] != u'%' || i + 1 == word.size()) {
                expanded += word[i];
                continue;
            }
            const QChar code = word[++i];
            if (code == u'u' || code == u'U') {
                expanded += url.toString(QUrl::FullyEncoded);
                placed = true;
            } else if (code == u'f' || code == u'F') {
                expanded += url.toLocalFile();
                placed = true;
            } else if (code == u'%') {
                expanded += u'%';
            }
        }
        command.append(expanded);
    }
    if (!command.isEmpty() && !placed) command.append(url.toString(QUrl::FullyEncoded));
    return command;
}

}  // namespace

QStringList WebBrowserCommand(const QUrl& url) {
    const QStringList queries[] = {
        {QStringLiteral("xdg-settings"), QStringLiteral("get"), QStringLiteral("default-web-browser")},
        {QStringLiteral("xdg-mime"), QStringLiteral("query"), QStringLiteral("default"),
         QStringLiteral("x-scheme-handler/https")},
        {QStringLiteral("xdg-mime"), QStringLiteral("query"), QStringLiteral("default"),
         QStringLiteral("x-scheme-handler/http")},
    };
    for (const QStringList& query : queries) {
        const QString entry = AskDesktop(query);
        if (entry.isEmpty() || entry == kOwnEntry) continue;
        const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
        if (file.isEmpty()) continue;
        const QStringList command = ExecCommand(ExecValue(file), url);
        if (command.isEmpty() || QFileInfo(command.first()).fileName() == kOwnProgram) continue;
        return command;
    }
    return {};
}

bool OpenInWebBrowser(const QUrl& url) {
    const QStringList command = WebBrowserCommand(url);
    if (command.isEmpty()) return QDesktopServices::openUrl(url);
    return QProcess::startDetached(command.first(), command.mid(1));
}

}  // namespace ui
