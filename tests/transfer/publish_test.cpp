// Publishing against real servers on 127.0.0.1: OpenSSH's sshd (keys, host
// key checks, a cut connection), rclone's SFTP server (password login),
// pyftpdlib over explicit TLS with a self-signed certificate, and Apache's
// WebDAV over TLS and rclone's over plain HTTP. The rows about the publish
// steps run on one server of each way, as each brings its own listing,
// upload and rename; the rest are one way's own.
// Every row starts from a fresh page, server folder and HOME, and looks at
// the server's folder afterwards.
#include "transfer/publish.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>
#include <utime.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <thread>
#include <tuple>

#include "support/files.h"
#include "support/ftps_server.h"
#include "support/server_process.h"
#include "support/sftp_servers.h"
#include "support/web_pictures.h"
#include "support/webdav_servers.h"
#include "transfer/publish_scene.h"
#include "transfer/result_line.h"
#include "transfer/webdav_server.h"

namespace {

using publishtest::PublishOnce;
using publishtest::TPublishScene;
using testsupport::Bytes;
using testsupport::ReadFileBytes;
using testsupport::Tree;
using testsupport::WriteFileBytes;

std::string PageNaming(const std::string& extra) {
    return "<html><body><img src=\"bilder/a.jpg\"><img src=\"bilder/b.png\"><a href=\"../oben.png\">oben</a>"
           "<img src=\"logo.gif\"><img src=\"fehlt.jpg\">" +
           extra + "</body></html>\r\n";
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

// Http: a web server where the SFTP server was expected (a wrong port).
// Prompts: the password asked in two rounds of prompts, or in ever more.
enum class TServer {
    OpenSsh,
    OpenSshEd25519Only,
    OpenSshWithoutSftp,
    Rclone,
    RcloneReadOnly,
    PromptsTwice,
    PromptsForever,
    Http,
    Ftps,
    FtpsNoMlsd,
    FtpsLosesLastByte,
    WebDav,
    WebDavRclone,
};

// As the tests are named, in the order of TServer.
const char* const kServerNames[] = {"OpenSsh",        "OpenSshEd25519Only", "OpenSshWithoutSftp", "Rclone",
                                    "RcloneReadOnly", "PromptsTwice",       "PromptsForever",     "Http",
                                    "Ftps",           "FtpsNoMlsd",         "FtpsLosesLastByte",  "WebDav",
                                    "WebDavRclone"};

testsupport::TFtpsServer::TQuirk FtpsQuirk(TServer kind) {
    if (kind == TServer::FtpsNoMlsd) return testsupport::TFtpsServer::TQuirk::NoMlsd;
    if (kind == TServer::FtpsLosesLastByte) return testsupport::TFtpsServer::TQuirk::LosesLastByte;
    return testsupport::TFtpsServer::TQuirk::None;
}

// One publish's world on one server: for sshd its HOME has the key, for FTPS
// the program's settings are where certificates are pinned.
struct TScene : TPublishScene {
    explicit TScene(TServer which) : TPublishScene(PageNaming("")), kind(which), settings(home + "/.config/tavirel") {
        unsetenv("SSH_AUTH_SOCK");
        WriteFileBytes(page + "/bilder/a.jpg", Bytes(200 * 1024, 'a'));
        WriteFileBytes(page + "/bilder/b.png", Bytes(3000, 'b'));
        WriteFileBytes(page + "/logo.gif", Bytes(10, 'l'));
        WriteFileBytes(work.path() + "/oben.png", "oben");
        if (kind == TServer::OpenSsh || kind == TServer::OpenSshEd25519Only || kind == TServer::OpenSshWithoutSftp) {
            sshd = std::make_unique<testsupport::TSshServer>(
                kind == TServer::OpenSshEd25519Only   ? "PubkeyAcceptedAlgorithms ssh-ed25519\n"
                : kind == TServer::OpenSshWithoutSftp ? "ForceCommand /bin/false\n"
                                                      : "");
            login.port = sshd->port();
            login.user = getpwuid(getuid())->pw_name;
            login.folder = server;
            testsupport::MakeDirectories(home + "/.ssh");
            UseKey("id_ed25519");
        } else if (kind == TServer::Http) {
            http = std::make_unique<testsupport::TServerProcess>([this](int port) {
                return std::vector<std::string>{"python3",   "-m",          "http.server", "--bind",
                                                "127.0.0.1", "--directory", server,        std::to_string(port)};
            });
            login.port = http->port();
            login.password = "geheim";
        } else if (kind == TServer::PromptsTwice || kind == TServer::PromptsForever) {
            prompting = std::make_unique<testsupport::TPromptingSshServer>(kind == TServer::PromptsTwice ? 2 : 0);
            login.port = prompting->port();
            login.user = "tavi";
            login.password = "geheim 123";
        } else if (kind == TServer::Rclone || kind == TServer::RcloneReadOnly) {
            rclone = std::make_unique<testsupport::TRcloneSftpServer>(server, "tavi", "geheim 123",
                                                                      kind == TServer::RcloneReadOnly);
            login.port = rclone->port();
            login.user = "tavi";
            login.password = "geheim 123";
        } else if (kind == TServer::WebDav) {
            apache = std::make_unique<testsupport::TApacheWebDavServer>("tavi", "geheim 123");
            server = apache->Folder();
            UseWebDav(apache->port(), "https", "/webdav/");
            // From the server's root, as rows that name a folder below it expect.
            login.folder = "/webdav";
        } else if (kind == TServer::WebDavRclone) {
            rcloneDav = std::make_unique<testsupport::TRcloneWebDavServer>(server, "tavi", "geheim 123");
            UseWebDav(rcloneDav->port(), "http", "/");
        } else {
            ftps = std::make_unique<testsupport::TFtpsServer>(server, "tavi", "geheim 123", FtpsQuirk(kind));
            login.protocol = transfer::TProtocol::Ftps;
            login.port = ftps->port();
            login.user = "tavi";
            login.password = "geheim 123";
            login.trustFolder = settings;
        }
    }

    ~TScene() {
        if (later.joinable()) later.join();
    }

    // The address made from the host and port a row may have changed, and
    // what the test put in the server's folder its own.
    void UseWebDav(int port, const std::string& scheme, const std::string& path) {
        login.protocol = transfer::TProtocol::WebDav;
        login.port = port;
        login.user = "tavi";
        login.password = "geheim 123";
        login.trustFolder = settings;
        beforePublish = [this, scheme, path] {
            login.address = scheme + "://" + login.host + ":" + std::to_string(login.port) + path;
            if (apache) apache->OwnServedFiles();
        };
    }

    void UseKey(const std::string& name) {
        for (const char* key : {"id_ed25519", "id_rsa", "id_ecdsa"}) {
            std::filesystem::remove(home + "/.ssh/" + key);
            std::filesystem::remove(home + "/.ssh/" + key + std::string(".pub"));
        }
        for (const std::string suffix : {"", ".pub"}) {
            WriteFileBytes(home + "/.ssh/" + name + suffix, ReadFileBytes(sshd->keyFolder() + "/" + name + suffix));
        }
        std::filesystem::permissions(home + "/.ssh/" + name,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }

    std::string Fingerprint() const { return ftps ? ftps->Fingerprint() : apache->Fingerprint(); }

    // The certificate question as the FTPS or WebDAV server's answers make it.
    std::string CertificateQuestion() const {
        return "127.0.0.1:" + std::to_string(login.port) + " | TLS-Zertifikat, selbst signiert | " + Fingerprint();
    }

    std::string Pins() const { return ReadFileBytes(settings + "/trusted_certificates"); }

    bool LoggedInByFtp() const {
        const std::string commands = ftps->Commands();
        return commands.find("USER") != std::string::npos || commands.find("PASS") != std::string::npos;
    }

    // Asked once about the server's key or certificate, the answer yes, and
    // trusted from then on as `ssh` or the certificate pins keep it.
    void ExpectServerTrustedOnFirstAsk() const {
        if (ftps || apache) {
            EXPECT_EQ(answers.asked, std::vector<std::string>{CertificateQuestion()});
            EXPECT_EQ(Pins(), "127.0.0.1:" + std::to_string(login.port) + " " + Fingerprint() + "\n");
            return;
        }
        // Plain HTTP on the loopback: nothing to trust.
        if (rcloneDav) {
            EXPECT_EQ(answers.asked, std::vector<std::string>{});
            return;
        }
        // Added as `ssh` adds it (~/.ssh made as `ssh` makes it), and trusted
        // from then on.
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(ReadFileBytes(home + "/.ssh/known_hosts")
                      .find("[127.0.0.1]:" + std::to_string(login.port) + " ssh-ed25519 "),
                  0u);
        if (!sshd) return;
        // The fingerprint as `ssh-keygen -l` prints it: "256 SHA256:… comment (ED25519)".
        const std::string printed = CommandOutput("ssh-keygen -l -E sha256 -f " + sshd->HostKeyFile());
        const std::string fingerprint = printed.substr(4, printed.find(' ', 4) - 4);
        EXPECT_EQ(answers.asked[0], "[127.0.0.1]:" + std::to_string(login.port) + " | ED25519 | " + fingerprint);
        EXPECT_NE(sshd->Log().find("userauth-request"), std::string::npos);
    }

    void PutOnServer(const std::string& name, const std::string& bytes) {
        testsupport::MakeDirectories(std::filesystem::path(server + "/" + name).parent_path().string());
        WriteFileBytes(server + "/" + name, bytes);
    }

    // Every file of the page's folder as changed that long ago.
    void AgeFiles(int seconds) const {
        const utimbuf then{time(nullptr) - seconds, time(nullptr) - seconds};
        for (const auto& entry : std::filesystem::recursive_directory_iterator(page))
            if (entry.is_regular_file()) utime(entry.path().c_str(), &then);
    }

    // Cuts the connection of the publish under way.
    void Cut() {
        if (ftps) {
            ftps->Cut();
        } else if (apache) {
            apache->Cut();
        } else {
            sshd->CutSessions();
        }
    }

    // A port that takes the connection and never says a word, and "Abbrechen"
    // pressed once the publish waits for it.
    void CancelWhileNobodyAnswers() {
        silent = std::make_unique<testsupport::TSilentPort>();
        login.port = silent->port();
        later = std::thread([this] {
            silent->AwaitCaller(60);
            cancel = true;
        });
    }

    const TServer kind;
    std::string settings;
    std::unique_ptr<testsupport::TSshServer> sshd;
    std::unique_ptr<testsupport::TRcloneSftpServer> rclone;
    std::unique_ptr<testsupport::TPromptingSshServer> prompting;
    std::unique_ptr<testsupport::TServerProcess> http;
    std::unique_ptr<testsupport::TFtpsServer> ftps;
    std::unique_ptr<testsupport::TApacheWebDavServer> apache;
    std::unique_ptr<testsupport::TRcloneWebDavServer> rcloneDav;
    std::unique_ptr<testsupport::TSilentPort> silent;
    std::thread later;  // acts while a publish runs
};

const std::vector<std::string> kAll = {"index.html", "bilder/a.jpg", "bilder/b.png", "logo.gif"};
const char* const kPageTree = "bilder/\nbilder/a.jpg\nbilder/b.png\nindex.html\nlogo.gif\n";

// The steps' rows run on every way; a password row's SFTP server is rclone.
const std::vector<TServer> kBoth = {TServer::OpenSsh, TServer::Ftps, TServer::WebDav};
const std::vector<TServer> kBothByPassword = {TServer::Rclone, TServer::Ftps, TServer::WebDav};

// On the server before a first publish: files of others (another page,
// another computer publishing now), which stay, and leftovers of this page's
// files and a file it replaces, which go.
const std::map<std::string, std::string> kOthersFiles = {{"fremd.txt", "fremd"},
                                                         {"bilder/alt.jpg", "alt"},
                                                         {"x.tavirel-alt", "fremd"},
                                                         {"bilder/y.jpg.tavirel-neu", "fremd halb"}};
const std::map<std::string, std::string> kOwnLeftovers = {
    {"bilder/b.png.tavirel-alt", "alt"}, {"logo.gif.tavirel-neu", "halb"}, {"logo.gif", "vorher"}};

// A big picture changed, and the line cut when 1 MiB of it went.
void CutInABigPicture(TScene& scene) {
    WriteFileBytes(scene.page + "/index.html", PageNaming("<img src=\"bilder/gross.jpg\">"));
    WriteFileBytes(scene.page + "/bilder/gross.jpg", Bytes(16 << 20, 'o'));
    PublishOnce(scene);
    WriteFileBytes(scene.page + "/bilder/gross.jpg", Bytes(16 << 20, 'n'));
    scene.progress.onSending = [&scene, cut = false](const std::string& file, std::uint64_t sent,
                                                     std::uint64_t) mutable {
        if (file != "bilder/gross.jpg" || sent < (1u << 20) || cut) return;
        cut = true;
        scene.Cut();
    };
}

using TRow = publishtest::TRow<TScene, TServer>;
using publishtest::TStop;
using transfer::TCause;
using transfer::TFault;

const TRow kRows[] = {
    // The publish steps, on both protocols.
    {"FirstPublish",
     {TServer::OpenSsh, TServer::Rclone, TServer::Ftps, TServer::WebDav, TServer::WebDavRclone},
     nullptr,
     kAll,
     {},
     std::nullopt,
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         scene.ExpectServerTrustedOnFirstAsk();
     }},
    {"AgainNothingChanged",
     {TServer::OpenSsh, TServer::Rclone, TServer::Ftps, TServer::FtpsNoMlsd, TServer::WebDav, TServer::WebDavRclone},
     PublishOnce,
     {},
     kAll,
     std::nullopt,
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         // Trusted: not asked again.
         EXPECT_EQ(scene.answers.asked.size(), scene.rcloneDav ? 0u : 1u);
         if (scene.kind == TServer::FtpsNoMlsd) {
             EXPECT_NE(scene.ftps->Commands().find("LIST\n"), std::string::npos);
         }
     }},
    {"OneFileChangedHereOneOnTheServer",
     kBoth,
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(200 * 1024, 'z'));
         // Same size, an hour older: only the time the server reports tells.
         const std::string file = scene.server + "/bilder/b.png";
         WriteFileBytes(file, Bytes(3000, 'h'));
         const utimbuf anHourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
         utime(file.c_str(), &anHourAgo);
     },
     {"bilder/a.jpg", "bilder/b.png"},
     {"index.html", "logo.gif"},
     std::nullopt,
     kPageTree,
     [](TScene& scene) { scene.ExpectServerHasThePage(); }},
    {"OthersFilesStayOwnLeftoversGo",
     kBoth,
     [](TScene& scene) {
         for (const auto& [name, bytes] : kOthersFiles) scene.PutOnServer(name, bytes);
         for (const auto& [name, bytes] : kOwnLeftovers) scene.PutOnServer(name, bytes);
     },
     kAll,
     {},
     std::nullopt,
     "bilder/\nbilder/a.jpg\nbilder/alt.jpg\nbilder/b.png\nbilder/"
     "y.jpg.tavirel-neu\nfremd.txt\nindex.html\nlogo.gif\nx."
     "tavirel-alt\n",
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         for (const auto& [name, bytes] : kOthersFiles) EXPECT_EQ(ReadFileBytes(scene.server + "/" + name), bytes);
     }},
    {"CancelledInAPicture",
     kBoth,
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(4 << 20, 'n'));
         scene.progress.onSending = [&scene](const std::string& file, std::uint64_t sent, std::uint64_t) {
             if (file == "bilder/a.jpg" && sent > 0) scene.cancel = true;
         };
     },
     {},
     {"index.html"},
     TStop{TFault::Cancelled},
     kPageTree,
     [](TScene& scene) {
         // The old picture stays whole; the next publish sends the new one.
         EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/a.jpg") == Bytes(200 * 1024, 'a'));
         scene.progress.onSending = nullptr;
         scene.cancel = false;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_FALSE(again.error);
         EXPECT_EQ(again.sent, std::vector<std::string>{"bilder/a.jpg"});
         EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/a.jpg") == Bytes(4 << 20, 'n'));
     }},
    {"CancelledBeforeTheServerSpeaks",
     kBoth,
     [](TScene& scene) { scene.CancelWhileNobodyAnswers(); },
     {},
     {},
     TStop{TFault::Cancelled},
     "",
     nullptr},
    {"RefusedConnection",
     kBoth,
     [](TScene& scene) { scene.login.port = testsupport::FreeLoopbackPort(); },
     {},
     {},
     TStop{TFault::ConnectionRefused},
     "",
     nullptr},
    {"UnknownHostName",
     kBoth,
     [](TScene& scene) { scene.login.host = "server.invalid"; },
     {},
     {},
     TStop{TFault::UnknownHost},
     "",
     nullptr},
    {"WrongPassword",
     kBothByPassword,
     [](TScene& scene) { scene.login.password = "falsch"; },
     {},
     {},
     TStop{TFault::PasswordRefused},
     "",
     nullptr},
    {"MissingServerFolder",
     kBoth,
     [](TScene& scene) { scene.login.folder += "/gibtsnicht"; },
     {},
     {},
     TStop{TFault::ServerFolderMissing},
     "",
     nullptr},
    {"IntoAFolderWithSpacesBelowTheLogin",
     kBothByPassword,
     [](TScene& scene) {
         testsupport::MakeDirectories(scene.server + "/mein web");
         // Named from the served root over FTPS, from the login's home over
         // SFTP, from the address over WebDAV.
         scene.login.folder = scene.ftps ? "/mein web" : "~/mein web/";
     },
     kAll,
     {},
     std::nullopt,
     "mein web/\nmein web/bilder/\nmein web/bilder/a.jpg\nmein web/bilder/b.png\nmein web/index.html\nmein "
     "web/logo.gif\n",
     nullptr},
    {"ConnectionCutInABigPicture",
     {TServer::OpenSsh, TServer::Ftps},
     CutInABigPicture,
     {},
     {"index.html", "bilder/a.jpg", "bilder/b.png", "logo.gif"},
     TStop{TFault::NotWritten, TCause::ConnectionCut, TFault::FileStays},
     "bilder/\nbilder/a.jpg\nbilder/b.png\nbilder/gross.jpg\nbilder/gross.jpg.tavirel-neu\nindex.html\nlogo.gif\n",
     [](TScene& scene) {
         EXPECT_EQ(scene.last.error->then()->subject(), "bilder/gross.jpg");
         EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/gross.jpg") == Bytes(16 << 20, 'o'));
         // The FTPS server ends with its connection; sshd serves on.
         if (!scene.sshd) return;
         scene.progress.onSending = nullptr;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_FALSE(again.error);
         EXPECT_EQ(again.sent, std::vector<std::string>{"bilder/gross.jpg"});
         EXPECT_EQ(Tree(scene.server), "bilder/\nbilder/a.jpg\nbilder/b.png\nbilder/gross.jpg\nindex.html\nlogo.gif\n");
         scene.ExpectServerHasThePage();
     }},
    // Apache keeps what a PUT brings in a file of its own until it is whole:
    // nothing under the temporary name either. Its own half file, which a
    // killed Apache cannot clear away, is not the program's to delete.
    {"ConnectionCutInABigPicture",
     {TServer::WebDav},
     CutInABigPicture,
     {},
     {"index.html", "bilder/a.jpg", "bilder/b.png", "logo.gif"},
     TStop{TFault::NotWritten, TCause::ConnectionCut, TFault::FileStays},
     nullptr,
     [](TScene& scene) {
         std::istringstream tree(Tree(scene.server));
         std::string ours;
         for (std::string line; std::getline(tree, line);)
             if (line.find("/.davfs.tmp") == std::string::npos) ours += line + "\n";
         EXPECT_EQ(ours, "bilder/\nbilder/a.jpg\nbilder/b.png\nbilder/gross.jpg\nindex.html\nlogo.gif\n");
         EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/gross.jpg") == Bytes(16 << 20, 'o'));
     }},
    // SFTP's own.
    {"SiteOfThreePagesInARing",
     {TServer::OpenSsh},
     [](TScene& scene) {
         WriteFileBytes(scene.page + "/index.html",
                        "<img src=\"bilder/a.jpg\"><a href=\"ueber.html\">Über</a><a href=\"fehlt.html\">F</a>");
         WriteFileBytes(
             scene.page + "/ueber.html",
             "<img src=\"bilder/u.jpg\"><img src=\"bilder/a.jpg\"><a href=\"seiten/impressum.html#oben\">I</a>");
         testsupport::MakeDirectories(scene.page + "/seiten");
         WriteFileBytes(scene.page + "/seiten/impressum.html",
                        "<img src=\"i.png\"><a href=\"../index.html\">S</a><a href=\"../ueber.html\">Ü</a>");
         WriteFileBytes(scene.page + "/seiten/i.png", "i");
         WriteFileBytes(scene.page + "/bilder/u.jpg", Bytes(5000, 'u'));
         WriteFileBytes(scene.page + "/nirgends.html", "<img src=\"logo.gif\">");
         // Written long ago: a publish then knows them by their size and time.
         scene.AgeFiles(3600);
     },
     {"index.html", "ueber.html", "seiten/impressum.html", "bilder/a.jpg", "bilder/u.jpg", "seiten/i.png"},
     {},
     std::nullopt,
     "bilder/\nbilder/a.jpg\nbilder/u.jpg\nindex.html\nseiten/\nseiten/i.png\nseiten/impressum.html\nueber.html\n",
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         ASSERT_EQ(scene.plan.leftOut.size(), 1u);
         EXPECT_EQ(scene.plan.leftOut[0].name, "fehlt.html");
         EXPECT_EQ(scene.plan.leftOut[0].reason, core::TNameFault::Missing);
         EXPECT_EQ(transfer::ResultLine(scene.plan, scene.last, ""), "3 Seiten, 6 Dateien übertragen, 0 unverändert");
         const std::map<std::string, std::string> stamps = testsupport::Stamps(scene.server);
         transfer::TPublishResult again = scene.Publish();
         EXPECT_EQ(again.sent, std::vector<std::string>{});
         EXPECT_EQ(again.unchanged, scene.plan.files);
         EXPECT_EQ(transfer::ResultLine(scene.plan, again, ""), "3 Seiten, 0 Dateien übertragen, 6 unverändert");
         EXPECT_EQ(testsupport::Stamps(scene.server), stamps);
         // Changed to as many bytes, its time another old one: read again.
         WriteFileBytes(scene.page + "/bilder/u.jpg", Bytes(5000, 'v'));
         scene.AgeFiles(7200);
         again = scene.Publish();
         EXPECT_EQ(again.sent, std::vector<std::string>{"bilder/u.jpg"});
         scene.ExpectServerHasThePage();
     }},
    {"OnlyWhatBelongsToThePageGoesUp",
     {TServer::OpenSsh},
     [](TScene& scene) {
         const std::string secret = scene.work.path() + "/geheim.txt";
         WriteFileBytes(secret, "geheim");
         std::filesystem::create_symlink(secret, scene.page + "/bild.jpg");
         std::filesystem::create_directory_symlink("/", scene.page + "/wurzel");
         std::filesystem::create_directory_symlink(scene.work.path(), scene.page + "/oben");
         std::filesystem::create_symlink("bilder/b.png", scene.page + "/drin.png");
         testsupport::MakeDirectories(scene.page + "/.privat");
         WriteFileBytes(scene.page + "/.privat/notiz.jpg", "privat");
         WriteFileBytes(scene.page + "/.htpasswd", "tavi:x");
         WriteFileBytes(scene.page + "/index.html",
                        PageNaming("<img src=\"bild.jpg\"><img src=\"wurzel" + secret +
                                   "\"><img src=\"oben/geheim.txt\"><img src=\".privat/notiz.jpg\"><a "
                                   "href=\".htpasswd\">x</a><img src=\"drin.png\"><img src=\"bilder%5Cb.png\">"));
     },
     {"index.html", "bilder/a.jpg", "bilder/b.png", "logo.gif", "drin.png"},
     {},
     std::nullopt,
     "bilder/\nbilder/a.jpg\nbilder/b.png\ndrin.png\nindex.html\nlogo.gif\n",
     [](TScene& scene) { scene.ExpectServerHasThePage(); }},
    {"NameSwappedForALinkWhileSending",
     {TServer::OpenSsh},
     [](TScene& scene) {
         WriteFileBytes(scene.work.path() + "/geheim.txt", "geheim");
         scene.progress.onSending = [&scene](const std::string& file, std::uint64_t, std::uint64_t) {
             if (file != "index.html" || std::filesystem::is_symlink(scene.page + "/logo.gif")) return;
             std::filesystem::remove(scene.page + "/logo.gif");
             std::filesystem::create_symlink(scene.work.path() + "/geheim.txt", scene.page + "/logo.gif");
         };
     },
     {"index.html", "bilder/a.jpg", "bilder/b.png"},
     {},
     std::nullopt,
     "bilder/\nbilder/a.jpg\nbilder/b.png\nindex.html\n",
     [](TScene& scene) {
         ASSERT_EQ(scene.last.leftOut.size(), 1u);
         EXPECT_EQ(scene.last.leftOut[0].name, "logo.gif");
         EXPECT_EQ(scene.last.leftOut[0].reason, core::TNameFault::LinkOutside);
     }},
    {"NulInANameLeavesTheLiveFile",
     {TServer::OpenSsh},
     [](TScene& scene) {
         WriteFileBytes(scene.page + "/foto.jpg", "neu");
         WriteFileBytes(scene.server + "/foto.jpg", "live");
         WriteFileBytes(scene.page + "/index.html", PageNaming("<img src=\"foto.jpg%00\">"));
     },
     kAll,
     {},
     std::nullopt,
     "bilder/\nbilder/a.jpg\nbilder/b.png\nfoto.jpg\nindex.html\nlogo.gif\n",
     [](TScene& scene) { EXPECT_EQ(ReadFileBytes(scene.server + "/foto.jpg"), "live"); }},
    {"ServerFolderLinkedToAFolder",
     {TServer::OpenSsh},
     [](TScene& scene) {
         testsupport::MakeDirectories(scene.work.path() + "/shared");
         std::filesystem::create_directory_symlink("../shared", scene.server + "/bilder");
     },
     kAll,
     {},
     std::nullopt,
     "bilder/\nindex.html\nlogo.gif\n",
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_TRUE(std::filesystem::is_symlink(scene.server + "/bilder"));
         EXPECT_EQ(Tree(scene.work.path() + "/shared"), "a.jpg\nb.png\n");
     }},
    {"RsaKeyOnly",
     {TServer::OpenSsh},
     [](TScene& scene) { scene.UseKey("id_rsa"); },
     kAll,
     {},
     std::nullopt,
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         // Signed with SHA-2: OpenSSH 9.2 refuses the old ssh-rsa signatures.
         const std::string log = scene.sshd->Log();
         EXPECT_NE(log.find("pkalg rsa-sha2-"), std::string::npos);
         EXPECT_NE(log.find("Accepted publickey for " + scene.login.user + " from 127.0.0.1"), std::string::npos);
     }},
    {"EncryptedKeyAsksItsPassphrase",
     {TServer::OpenSsh},
     [](TScene& scene) {
         scene.UseKey("id_ecdsa");
         scene.answers.passphrase = testsupport::TSshServer::kKeyPassphrase;
     },
     kAll,
     {},
     std::nullopt,
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_EQ(scene.answers.askedPassphrase, std::vector<std::string>{"id_ecdsa"});
     }},
    {"CancelledWithinAFile",
     {TServer::OpenSsh},
     [](TScene& scene) {
         scene.progress.onSending = [&scene](const std::string& file, std::uint64_t sent, std::uint64_t) {
             if (file == "bilder/a.jpg" && sent > 0) scene.cancel = true;
         };
     },
     {"index.html"},
     {},
     TStop{TFault::Cancelled},
     "bilder/\nindex.html\n",
     [](TScene& scene) {
         scene.cancel = false;
         scene.progress.onSending = nullptr;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_EQ(again.sent, (std::vector<std::string>{"bilder/a.jpg", "bilder/b.png", "logo.gif"}));
         EXPECT_EQ(Tree(scene.server), kPageTree);
     }},
    {"CancelledWhileTheServerHangs",
     {TServer::OpenSsh},
     [](TScene& scene) {
         scene.progress.onSending = [&scene](const std::string& file, std::uint64_t sent, std::uint64_t) {
             if (file != "bilder/a.jpg" || sent == 0 || scene.later.joinable()) return;
             scene.sshd->HangSessions();
             // "Abbrechen" pressed while the publish waits for the server.
             scene.later = std::thread([&scene] {
                 std::this_thread::sleep_for(std::chrono::milliseconds(300));
                 scene.cancel = true;
             });
         };
     },
     {"index.html"},
     {},
     TStop{TFault::Cancelled, TCause::None, TFault::FileNotSent},
     "bilder/\nbilder/a.jpg.tavirel-neu\nindex.html\n",
     [](TScene& scene) {
         EXPECT_TRUE(scene.last.cancelled);
         scene.later.join();
         scene.cancel = false;
         scene.progress.onSending = nullptr;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_FALSE(again.error);
         EXPECT_EQ(Tree(scene.server), kPageTree);
     }},
    {"NotAnSftpServer", {TServer::Http}, nullptr, {}, {}, TStop{TFault::EndedWithoutSsh}, "", nullptr},
    {"NoSftpThere", {TServer::OpenSshWithoutSftp}, nullptr, {}, {}, TStop{TFault::NoSftp}, "", nullptr},
    // Logged in after the second round of prompts: the server has no SFTP.
    {"PasswordAskedInRounds",
     {TServer::PromptsTwice},
     nullptr,
     {},
     {},
     TStop{TFault::NoSftp},
     "",
     [](TScene& scene) { EXPECT_EQ(scene.prompting->Answers(), "geheim 123\ngeheim 123\n"); }},
    {"EndlessPromptsAnsweredTenTimes",
     {TServer::PromptsForever},
     nullptr,
     {},
     {},
     TStop{TFault::TooManyPrompts},
     "",
     [](TScene& scene) {
         std::string tenTimes;
         for (int round = 0; round < 10; ++round) tenTimes += "geheim 123\n";
         EXPECT_EQ(scene.prompting->Answers(), tenTimes);
     }},
    {"KeyTypeRefused",
     {TServer::OpenSshEd25519Only},
     [](TScene& scene) { scene.UseKey("id_rsa"); },
     {},
     {},
     TStop{TFault::KeyRefused},
     "",
     nullptr},
    // A key file the user names is the only key offered: the usual ones in
    // ~/.ssh, which the server would take, are not tried behind it.
    {"NamedKeyFileIsTheOnlyKey",
     {TServer::OpenSshEd25519Only},
     [](TScene& scene) { scene.login.keyFile = scene.sshd->keyFolder() + "/id_rsa"; },
     {},
     {},
     TStop{TFault::KeyRefused},
     "",
     nullptr},
    {"NamedKeyFileMissing",
     {TServer::OpenSsh},
     [](TScene& scene) { scene.login.keyFile = scene.home + "/schluessel"; },
     {},
     {},
     TStop{TFault::KeyFileMissing},
     "",
     nullptr},
    // rclone tells by a plain failure, with its words for it.
    {"ReadOnlyServerFolder",
     {TServer::RcloneReadOnly},
     nullptr,
     {},
     {},
     TStop{TFault::FileNotCreated, TCause::ServerError, TFault::FileNotSent},
     "",
     nullptr},
    {"UnknownHostKeyAnsweredNo",
     {TServer::OpenSsh},
     [](TScene& scene) {
         scene.answers.trust = false;
         scene.login.password = "geheim";
     },
     {},
     {},
     TStop{TFault::HostKeyNotTrusted},
     "",
     [](TScene& scene) {
         EXPECT_EQ(scene.answers.asked.size(), 1u);
         EXPECT_EQ(scene.sshd->Log().find("userauth-request"), std::string::npos);
         EXPECT_FALSE(std::filesystem::exists(scene.home + "/.ssh/known_hosts"));
     }},
    {"ChangedHostKeyRefused",
     {TServer::OpenSsh},
     [](TScene& scene) {
         WriteFileBytes(scene.home + "/.ssh/known_hosts",
                        "[127.0.0.1]:" + std::to_string(scene.login.port) + " " +
                            ReadFileBytes(scene.sshd->keyFolder() + "/other_host_ed25519.pub"));
     },
     {},
     {},
     TStop{TFault::HostKeyChanged},
     "",
     [](TScene& scene) {
         EXPECT_TRUE(scene.answers.asked.empty());
         EXPECT_EQ(scene.sshd->Log().find("userauth-request"), std::string::npos);
     }},
    // FTPS's own.
    {"ServerFolderLinkedToAFolderByList",
     {TServer::FtpsNoMlsd},
     [](TScene& scene) {
         // Inside the served folder: the server refuses a link that leads out.
         testsupport::MakeDirectories(scene.server + "/shared");
         testsupport::MakeDirectories(scene.server + "/www");
         std::filesystem::create_directory_symlink("../shared", scene.server + "/www/bilder");
         scene.login.folder = "www";
     },
     kAll,
     {},
     std::nullopt,
     "shared/\nshared/a.jpg\nshared/b.png\nwww/\nwww/bilder/\nwww/index.html\nwww/logo.gif\n",
     [](TScene& scene) {
         EXPECT_TRUE(std::filesystem::is_symlink(scene.server + "/www/bilder"));
         EXPECT_TRUE(ReadFileBytes(scene.server + "/shared/a.jpg") == ReadFileBytes(scene.page + "/bilder/a.jpg"));
     }},
    // The pins go to a new file that then takes the old one's place, so
    // that a crash never leaves them half written: another name of the old
    // file still shows what it held.
    {"PinsReplacedWhole",
     {TServer::Ftps},
     [](TScene& scene) {
         testsupport::MakeDirectories(scene.settings);
         WriteFileBytes(scene.settings + "/trusted_certificates", "anderer:21 AB\n");
         std::filesystem::create_hard_link(scene.settings + "/trusted_certificates", scene.settings + "/vorher");
     },
     kAll,
     {},
     std::nullopt,
     kPageTree,
     [](TScene& scene) {
         EXPECT_EQ(ReadFileBytes(scene.settings + "/vorher"), "anderer:21 AB\n");
         EXPECT_EQ(scene.Pins(), "127.0.0.1:" + std::to_string(scene.login.port) + " " + scene.ftps->Fingerprint() +
                                     "\nanderer:21 AB\n");
     }},
    {"CertificateAnsweredNo",
     {TServer::Ftps, TServer::WebDav},
     [](TScene& scene) { scene.answers.trust = false; },
     {},
     {},
     TStop{TFault::CertificateNotTrusted},
     "",
     [](TScene& scene) {
         EXPECT_EQ(scene.answers.asked, std::vector<std::string>{scene.CertificateQuestion()});
         if (scene.ftps) {
             EXPECT_FALSE(scene.LoggedInByFtp()) << scene.ftps->Commands();
         } else {
             EXPECT_EQ(scene.apache->Requests(), "");
         }
         EXPECT_EQ(scene.Pins(), "<missing>");
     }},
    {"ChangedCertificateRefused",
     {TServer::Ftps},
     [](TScene& scene) {
         PublishOnce(scene);
         scene.ftps->ChangeCertificate();
         scene.ftps->ForgetCommands();
     },
     {},
     {},
     TStop{TFault::CertificateChanged},
     kPageTree,
     [](TScene& scene) {
         EXPECT_EQ(scene.answers.asked.size(), 1u);
         EXPECT_FALSE(scene.LoggedInByFtp()) << scene.ftps->Commands();
     }},
    // WebDAV's own.
    // Another certificate than the one trusted before, as a replaced server
    // or an attacker in its place shows: refused before any request.
    {"ChangedCertificateRefused",
     {TServer::WebDav},
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.settings + "/trusted_certificates",
                        "127.0.0.1:" + std::to_string(scene.login.port) + " AB:CD\n");
         WriteFileBytes(scene.page + "/logo.gif", "neu");
     },
     {},
     {},
     TStop{TFault::CertificateChanged},
     kPageTree,
     [](TScene& scene) {
         EXPECT_EQ(scene.answers.asked.size(), 1u);
         EXPECT_EQ(ReadFileBytes(scene.server + "/logo.gif"), Bytes(10, 'l'));
     }},
    {"PlainHttpRefused",
     {TServer::WebDav},
     [](TScene& scene) {
         scene.beforePublish = [&scene] {
             scene.login.address = "http://localhost:" + std::to_string(scene.login.port) + "/webdav/";
         };
     },
     {},
     {},
     TStop{TFault::NotHttps},
     "",
     [](TScene& scene) {
         EXPECT_TRUE(scene.answers.asked.empty());
         EXPECT_EQ(scene.apache->Requests(), "");
     }},
    // What went up comes back byte for byte, within its bound.
    {"DownloadGivesBackWhatWentUp",
     {TServer::WebDav, TServer::WebDavRclone},
     nullptr,
     kAll,
     {},
     std::nullopt,
     kPageTree,
     [](TScene& scene) {
         std::unique_ptr<transfer::IRemoteServer> server =
             transfer::OpenWebDavServer(scene.login, scene.answers, scene.cancel);
         const auto fetch = [&](const std::string& file, std::uint64_t most, bool goOn = true) {
             testsupport::TScratchFolder here("download");
             const int out = open((here.path() + "/f").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
             std::uint64_t heard = 0;
             const transfer::TDownloaded end = server->Download(file, out, most, [&](std::uint64_t bytes) {
                 heard = bytes;
                 return goOn;
             });
             close(out);
             return std::tuple{end, ReadFileBytes(here.path() + "/f"), heard};
         };
         for (const std::string& file : kAll) {
             SCOPED_TRACE(file);
             const auto [end, bytes, heard] = fetch(file, 1 << 20);
             EXPECT_EQ(end, transfer::TDownloaded::Whole);
             EXPECT_TRUE(bytes == ReadFileBytes(scene.page + "/" + file));
             EXPECT_EQ(heard, bytes.size());
         }
         EXPECT_EQ(std::get<0>(fetch("bilder/a.jpg", 200 * 1024 - 1)), transfer::TDownloaded::TooLarge);
         EXPECT_EQ(std::get<0>(fetch("bilder/a.jpg", 200 * 1024)), transfer::TDownloaded::Whole);
         EXPECT_EQ(std::get<0>(fetch("bilder/a.jpg", 1 << 20, false)), transfer::TDownloaded::Stopped);
         try {
             fetch("fehlt.jpg", 100);
             ADD_FAILURE() << "a missing file came back";
         } catch (const transfer::TTransferError& error) {
             EXPECT_EQ(error.fault(), TFault::NotFetched) << error.what();
             EXPECT_EQ(error.cause(), TCause::NotThere) << error.what();
         }
     }},
    {"ArrivedShort",
     {TServer::FtpsLosesLastByte},
     nullptr,
     {},
     {},
     TStop{TFault::ArrivedShort, TCause::None, TFault::FileNotSent},
     // The short file never takes the page's name; the next publish tidies it.
     "index.html.tavirel-neu\n",
     nullptr},
};

class Publish : public testing::TestWithParam<publishtest::TRowOn<TScene, TServer>> {};

TEST_P(Publish, LeavesTheServerFolderAsExpected) {
    publishtest::RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, Publish, testing::ValuesIn(publishtest::OnEachServer(kRows)),
                         [](const testing::TestParamInfo<publishtest::TRowOn<TScene, TServer>>& info) {
                             return std::string(kServerNames[static_cast<int>(info.param.server)]) + "_" +
                                    info.param.row->name;
                         });

// Every picture of the picture table on one page, published to sshd: what
// reaches the server is each row's web copy or nothing, the question and
// the result line count and name them, the user's files stay; published
// again nothing is rebuilt, and another side rebuilds all and sends only
// the pictures it scales otherwise.
TEST(PublishPictures, EachPictureReachesTheServerRebuiltOrNotAtAll) {
    TScene scene(TServer::OpenSsh);
    scene.side = testsupport::kTableSide;
    const std::vector<testsupport::TPictureRow> rows = testsupport::PictureTable(scene.work.path());
    std::string named;
    std::vector<std::string> notSent;
    std::string notSentLine;
    for (const testsupport::TPictureRow& row : rows) {
        ASSERT_TRUE(WriteFileBytes(scene.page + "/bilder/" + row.name, row.bytes));
        named += "<img src=\"bilder/" + std::string(row.name) + "\">";
        if (!row.sent) {
            notSent.push_back("bilder/" + std::string(row.name));
            notSentLine += ", bilder/" + std::string(row.name) + " (Ortsangaben lassen sich nicht sicher entfernen)";
        }
    }
    WriteFileBytes(scene.page + "/index.html", PageNaming(named));

    const transfer::TPublishResult first = scene.Publish();

    EXPECT_FALSE(first.error);
    ASSERT_EQ(scene.answers.askedPictures.size(), 1 + notSent.size());
    const std::string asked = scene.answers.askedPictures.front();
    std::vector<std::string> scaled;
    for (const testsupport::TPictureRow& row : rows)
        if (row.sent && std::max(row.shown.width(), row.shown.height()) == testsupport::kTableSide)
            scaled.push_back("bilder/" + std::string(row.name));
    const std::size_t sentRows = rows.size() - notSent.size();
    EXPECT_TRUE(asked.starts_with(std::to_string(scaled.size()) + " Fotos verkleinert (") &&
                asked.ends_with("Ortsangaben aus " + std::to_string(sentRows) + " entfernt"))
        << asked;
    EXPECT_EQ(std::vector<std::string>(scene.answers.askedPictures.begin() + 1, scene.answers.askedPictures.end()),
              notSent);
    EXPECT_EQ(transfer::ResultLine(scene.plan, first, ""), std::to_string(4 + sentRows) +
                                                               " Dateien übertragen, 0 unverändert; " + asked +
                                                               "; nicht übertragen: " + notSentLine.substr(2));
    for (const testsupport::TPictureRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(ReadFileBytes(scene.page + "/bilder/" + row.name) == row.bytes);
        const std::string there = ReadFileBytes(scene.server + "/bilder/" + row.name);
        if (row.sent)
            testsupport::ExpectWebCopy(row, there, scene.work.path());
        else
            EXPECT_EQ(there, "<missing>");
    }

    scene.progress.prepared.clear();
    const transfer::TPublishResult again = scene.Publish();
    EXPECT_EQ(again.sent, std::vector<std::string>{});
    EXPECT_EQ(scene.progress.prepared, notSent);

    scene.side = 80;
    scene.progress.prepared.clear();
    EXPECT_EQ(scene.Publish().sent, scaled);
    EXPECT_EQ(scene.progress.prepared.size(), rows.size() - 1);
}

}  // namespace
