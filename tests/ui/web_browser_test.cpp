// Which program "Im Browser ansehen" starts: the desktop's web browser, read
// off a scratch desktop configuration, never this program although it
// lists itself for HTML files.

#include "ui/web_browser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xdg_tree.h"

namespace {

// Readable in a failure message.
std::vector<std::string> Words(const QStringList& command) {
    std::vector<std::string> words;
    for (const QString& word : command) words.push_back(word.toStdString());
    return words;
}

TEST(WebBrowser, CommandIsTheWebBrowsersNeverThisProgram) {
    const QUrl page = QUrl::fromLocalFile(QStringLiteral("/home/łukasz/Über uns.html"));
    const QString url = QStringLiteral("file:///home/%C5%82ukasz/%C3%9Cber%20uns.html");
    const QString path = QStringLiteral("/home/łukasz/Über uns.html");
    const struct {
        const char* name;
        const char* mimeapps;  // the user's choices
        const char* cache;     // what installing the entries left
        const char* exec;      // of the browser's entry
        QStringList command;
    } cases[] = {
        {"the desktop's web browser",
         "[Default Applications]\nx-scheme-handler/http=netzleser.desktop\n",
         "",
         "netzleser --neues-fenster %U",
         {"netzleser", "--neues-fenster", url}},
        {"this program chosen for http, the https handler next",
         "[Default Applications]\ntext/html=tavirel.desktop\nx-scheme-handler/http=tavirel.desktop\n"
         "x-scheme-handler/https=netzleser.desktop\n",
         "",
         "netzleser %u",
         {"netzleser", url}},
        {"installed only, this program first for HTML",
         "",
         "[MIME Cache]\ntext/html=tavirel.desktop;netzleser.desktop;\nx-scheme-handler/https=netzleser.desktop;\n",
         "netzleser %u",
         {"netzleser", url}},
        {"quoted program, a file code and codes for nothing",
         "",
         "[MIME Cache]\nx-scheme-handler/https=netzleser.desktop;\n",
         "\"/opt/netz leser/bin\" --titel=100%% %i %c %f",
         {"/opt/netz leser/bin", "--titel=100%", path}},
        {"no code: the URL goes last",
         "[Default Applications]\nx-scheme-handler/https=netzleser.desktop\n",
         "",
         "netzleser",
         {"netzleser", url}},
        {"only this program",
         "[Default Applications]\ntext/html=tavirel.desktop\nx-scheme-handler/http=tavirel.desktop\n",
         "[MIME Cache]\ntext/html=tavirel.desktop;\n",
         "netzleser %u",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::TXdgTree tree;
        tree.Write("config/mimeapps.list", c.mimeapps);
        tree.Write("data/applications/mimeinfo.cache", c.cache);
        tree.Write("data/applications/netzleser.desktop",
                   QByteArray("[Desktop Entry]\nType=Application\nName=Netzleser\nExec=") + c.exec + "\n");
        tree.Write("bin/netzleser", "#!/bin/sh\n", true);
        tree.Write("bin/tavirel", "#!/bin/sh\n", true);
        tree.Write("data/applications/tavirel.desktop",
                   "[Desktop Entry]\nType=Application\nName=HTML Tavirel\nExec=tavirel %f\nMimeType=text/html;\n");
        EXPECT_EQ(Words(ui::WebBrowserCommand(page)), Words(c.command));
    }
}

}  // namespace
