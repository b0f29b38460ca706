// Publishing against real SFTP servers on 127.0.0.1: OpenSSH's sshd (keys,
// host key checks, a cut connection) and rclone's server (password login).
// Every row starts from a fresh page, server folder and HOME, and looks at
// the server's folder afterwards.
#include "transfer/publish.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>
#include <utime.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "support/files.h"
#include "support/sftp_servers.h"
#include "transfer/publish_scene.h"

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

// Http: a web server where the SFTP server was expected (a wrong port);
// Silent: a port that takes the connection and never says a word.
enum class TServer { OpenSsh, OpenSshEd25519Only, Rclone, RcloneReadOnly, Http, Silent };

// One publish's world on an SFTP server: its HOME has the key for sshd.
struct TScene : TPublishScene {
    explicit TScene(TServer kind) : TPublishScene(PageNaming("")) {
        unsetenv("SSH_AUTH_SOCK");
        WriteFileBytes(page + "/bilder/a.jpg", Bytes(200 * 1024, 'a'));
        WriteFileBytes(page + "/bilder/b.png", Bytes(3000, 'b'));
        WriteFileBytes(page + "/logo.gif", Bytes(10, 'l'));
        WriteFileBytes(work.path() + "/oben.png", "oben");
        if (kind == TServer::OpenSsh || kind == TServer::OpenSshEd25519Only) {
            sshd = std::make_unique<testsupport::TSshServer>(
                kind == TServer::OpenSshEd25519Only ? "PubkeyAcceptedAlgorithms ssh-ed25519\n" : "");
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
        } else if (kind == TServer::Silent) {
            silent = std::make_unique<testsupport::TSilentPort>();
            login.port = silent->port();
            login.password = "geheim";
        } else {
            rclone = std::make_unique<testsupport::TRcloneSftpServer>(server, "tavi", "geheim 123",
                                                                      kind == TServer::RcloneReadOnly);
            login.port = rclone->port();
            login.user = "tavi";
            login.password = "geheim 123";
        }
    }

    ~TScene() {
        if (later.joinable()) later.join();
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

    std::unique_ptr<testsupport::TSshServer> sshd;
    std::unique_ptr<testsupport::TRcloneSftpServer> rclone;
    std::unique_ptr<testsupport::TServerProcess> http;
    std::thread later;  // acts while a publish runs
    std::unique_ptr<testsupport::TSilentPort> silent;
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

const std::vector<std::string> kAll = {"index.html", "bilder/a.jpg", "bilder/b.png", "logo.gif"};
const char* const kPageTree = "bilder/\nbilder/a.jpg\nbilder/b.png\nindex.html\nlogo.gif\n";

using TRow = publishtest::TRow<TScene, TServer>;

const TRow kRows[] = {
    {"FirstPublishWithSubfolder",
     TServer::OpenSsh,
     nullptr,
     kAll,
     {},
     "",
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         // The fingerprint as `ssh-keygen -l` prints it: "256 SHA256:… comment (ED25519)".
         const std::string printed = CommandOutput("ssh-keygen -l -E sha256 -f " + scene.sshd->HostKeyFile());
         const std::string fingerprint = printed.substr(4, printed.find(' ', 4) - 4);
         EXPECT_EQ(scene.answers.asked, std::vector<std::string>{"[127.0.0.1]:" + std::to_string(scene.login.port) +
                                                                 " | ED25519 | " + fingerprint});
         // Added as `ssh` adds it, and trusted from then on.
         EXPECT_EQ(ReadFileBytes(scene.home + "/.ssh/known_hosts")
                       .find("[127.0.0.1]:" + std::to_string(scene.login.port) + " ssh-ed25519 "),
                   0u);
         EXPECT_NE(scene.sshd->Log().find("userauth-request"), std::string::npos);
     }},
    {"AgainNothingChanged",
     TServer::OpenSsh,
     PublishOnce,
     {},
     kAll,
     "",
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_EQ(scene.answers.asked.size(), 1u);
     }},
    {"OnePictureChanged",
     TServer::OpenSsh,
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(200 * 1024, 'z'));
     },
     {"bilder/a.jpg"},
     {"index.html", "bilder/b.png", "logo.gif"},
     "",
     kPageTree,
     [](TScene& scene) { scene.ExpectServerHasThePage(); }},
    {"ChangedOnTheServerByHand",
     TServer::OpenSsh,
     [](TScene& scene) {
         PublishOnce(scene);
         // Same size, an hour older: only the time the server reports tells.
         const std::string file = scene.server + "/bilder/b.png";
         WriteFileBytes(file, Bytes(3000, 'h'));
         const utimbuf anHourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
         utime(file.c_str(), &anHourAgo);
     },
     {"bilder/b.png"},
     {"index.html", "bilder/a.jpg", "logo.gif"},
     "",
     kPageTree,
     [](TScene& scene) { scene.ExpectServerHasThePage(); }},
    {"ForeignFilesStay",
     TServer::OpenSsh,
     [](TScene& scene) {
         testsupport::MakeDirectories(scene.server + "/bilder");
         WriteFileBytes(scene.server + "/fremd.txt", "fremd");
         WriteFileBytes(scene.server + "/bilder/alt.jpg", "alt");
         WriteFileBytes(scene.server + "/logo.gif", "vorher");
     },
     kAll,
     {},
     "",
     "bilder/\nbilder/a.jpg\nbilder/alt.jpg\nbilder/b.png\nfremd.txt\nindex.html\nlogo.gif\n",
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_EQ(ReadFileBytes(scene.server + "/fremd.txt"), "fremd");
         EXPECT_EQ(ReadFileBytes(scene.server + "/bilder/alt.jpg"), "alt");
     }},
    {"OnlyWhatBelongsToThePageGoesUp",
     TServer::OpenSsh,
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
     "",
     "bilder/\nbilder/a.jpg\nbilder/b.png\ndrin.png\nindex.html\nlogo.gif\n",
     [](TScene& scene) { scene.ExpectServerHasThePage(); }},
    {"NameSwappedForALinkWhileSending",
     TServer::OpenSsh,
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
     "",
     "bilder/\nbilder/a.jpg\nbilder/b.png\nindex.html\n",
     [](TScene& scene) {
         ASSERT_EQ(scene.last.leftOut.size(), 1u);
         EXPECT_EQ(scene.last.leftOut[0].name, "logo.gif");
         EXPECT_EQ(scene.last.leftOut[0].reason, core::TNameFault::LinkOutside);
     }},
    {"NulInANameLeavesTheLiveFile",
     TServer::OpenSsh,
     [](TScene& scene) {
         WriteFileBytes(scene.page + "/foto.jpg", "neu");
         WriteFileBytes(scene.server + "/foto.jpg", "live");
         WriteFileBytes(scene.page + "/index.html", PageNaming("<img src=\"foto.jpg%00\">"));
     },
     kAll,
     {},
     "",
     "bilder/\nbilder/a.jpg\nbilder/b.png\nfoto.jpg\nindex.html\nlogo.gif\n",
     [](TScene& scene) { EXPECT_EQ(ReadFileBytes(scene.server + "/foto.jpg"), "live"); }},
    {"OnlyOwnLeftoversTidied",
     TServer::OpenSsh,
     [](TScene& scene) {
         // Of this page's files: tidied. Of others' (another page, another
         // computer publishing now): left alone.
         testsupport::MakeDirectories(scene.server + "/bilder");
         WriteFileBytes(scene.server + "/bilder/b.png.tavirel-alt", "alt");
         WriteFileBytes(scene.server + "/logo.gif.tavirel-neu", "halb");
         WriteFileBytes(scene.server + "/x.tavirel-alt", "fremd");
         WriteFileBytes(scene.server + "/bilder/y.jpg.tavirel-neu", "fremd halb");
     },
     kAll,
     {},
     "",
     "bilder/\nbilder/a.jpg\nbilder/b.png\nbilder/y.jpg.tavirel-neu\nindex.html\nlogo.gif\nx.tavirel-alt\n",
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_EQ(ReadFileBytes(scene.server + "/x.tavirel-alt"), "fremd");
         EXPECT_EQ(ReadFileBytes(scene.server + "/bilder/y.jpg.tavirel-neu"), "fremd halb");
     }},
    {"ServerFolderLinkedToAFolder",
     TServer::OpenSsh,
     [](TScene& scene) {
         testsupport::MakeDirectories(scene.work.path() + "/shared");
         std::filesystem::create_directory_symlink("../shared", scene.server + "/bilder");
     },
     kAll,
     {},
     "",
     "bilder/\nindex.html\nlogo.gif\n",
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_TRUE(std::filesystem::is_symlink(scene.server + "/bilder"));
         EXPECT_EQ(Tree(scene.work.path() + "/shared"), "a.jpg\nb.png\n");
     }},
    {"RsaKeyOnly",
     TServer::OpenSsh,
     [](TScene& scene) { scene.UseKey("id_rsa"); },
     kAll,
     {},
     "",
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         // Signed with SHA-2: OpenSSH 9.2 refuses the old ssh-rsa signatures.
         const std::string log = scene.sshd->Log();
         EXPECT_NE(log.find("pkalg rsa-sha2-"), std::string::npos);
         EXPECT_NE(log.find("Accepted publickey for " + scene.login.user + " from 127.0.0.1"), std::string::npos);
     }},
    {"EncryptedKeyAsksItsPassphrase",
     TServer::OpenSsh,
     [](TScene& scene) {
         scene.UseKey("id_ecdsa");
         scene.answers.passphrase = testsupport::TSshServer::kKeyPassphrase;
     },
     kAll,
     {},
     "",
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_EQ(scene.answers.askedPassphrase, std::vector<std::string>{"id_ecdsa"});
     }},
    {"CancelledWithinAFile",
     TServer::OpenSsh,
     [](TScene& scene) {
         scene.progress.onSending = [&scene](const std::string& file, std::uint64_t sent, std::uint64_t) {
             if (file == "bilder/a.jpg" && sent > 0) scene.cancel = true;
         };
     },
     {"index.html"},
     {},
     "Veröffentlichen abgebrochen",
     "bilder/\nindex.html\n",
     [](TScene& scene) {
         scene.cancel = false;
         scene.progress.onSending = nullptr;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_EQ(again.sent, (std::vector<std::string>{"bilder/a.jpg", "bilder/b.png", "logo.gif"}));
         EXPECT_EQ(Tree(scene.server), kPageTree);
     }},
    {"CancelledWhileTheServerHangs",
     TServer::OpenSsh,
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
     "Veröffentlichen abgebrochen.",
     "bilder/\nbilder/a.jpg.tavirel-neu\nindex.html\n",
     [](TScene& scene) {
         EXPECT_TRUE(scene.last.cancelled);
         scene.later.join();
         scene.cancel = false;
         scene.progress.onSending = nullptr;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_EQ(again.error, "");
         EXPECT_EQ(Tree(scene.server), kPageTree);
     }},
    {"CancelledInTheKeyExchange",
     TServer::Silent,
     [](TScene& scene) {
         // "Abbrechen" pressed while the publish waits for the server.
         scene.later = std::thread([&scene] {
             std::this_thread::sleep_for(std::chrono::milliseconds(300));
             scene.cancel = true;
         });
     },
     {},
     {},
     "Veröffentlichen abgebrochen.",
     "",
     [](TScene& scene) {
         // The whole publish, well within libssh's own 20 s.
         EXPECT_LT(std::chrono::steady_clock::now() - scene.started, std::chrono::seconds(5));
     }},
    {"RefusedConnection",
     TServer::OpenSsh,
     [](TScene& scene) { scene.login.port = testsupport::FreeLoopbackPort(); },
     {},
     {},
     "weist die Verbindung ab",
     "",
     nullptr},
    {"NotAnSftpServer", TServer::Http, nullptr, {}, {}, "spricht kein SSH", "", nullptr},
    {"UnknownHostName",
     TServer::OpenSsh,
     [](TScene& scene) { scene.login.host = "server.invalid"; },
     {},
     {},
     "Den Server „server.invalid“ gibt es nicht",
     "",
     nullptr},
    {"KeyTypeRefused",
     TServer::OpenSshEd25519Only,
     [](TScene& scene) { scene.UseKey("id_rsa"); },
     {},
     {},
     "der Server nimmt den Schlüssel nicht an (id_rsa, Typ RSA). Ist er dort eingetragen, und nimmt der Server "
     "Schlüssel dieses Typs an?",
     "",
     nullptr},
    {"PasswordLogin",
     TServer::Rclone,
     nullptr,
     kAll,
     {},
     "",
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         // ~/.ssh made as `ssh` makes it, for the host key.
         EXPECT_EQ(ReadFileBytes(scene.home + "/.ssh/known_hosts")
                       .find("[127.0.0.1]:" + std::to_string(scene.login.port) + " ssh-ed25519 "),
                   0u);
     }},
    {"PasswordAgainNothingChanged", TServer::Rclone, PublishOnce, {}, kAll, "", kPageTree, nullptr},
    {"FolderBelowTheLoginFolder",
     TServer::Rclone,
     [](TScene& scene) {
         testsupport::MakeDirectories(scene.server + "/www");
         scene.login.folder = "~/www/";
     },
     kAll,
     {},
     "",
     "www/\nwww/bilder/\nwww/bilder/a.jpg\nwww/bilder/b.png\nwww/index.html\nwww/logo.gif\n",
     nullptr},
    {"WrongPassword",
     TServer::Rclone,
     [](TScene& scene) { scene.login.password = "falsch"; },
     {},
     {},
     "Anmeldung als „tavi“ abgelehnt: das Kennwort ist falsch",
     "",
     nullptr},
    {"ReadOnlyServerFolder",
     TServer::RcloneReadOnly,
     nullptr,
     {},
     {},
     "lässt sich auf dem Server nicht anlegen: keine Schreibrechte dort (SFTP server: Read only file system). "
     "„index.html“ wurde nicht übertragen.",
     "",
     nullptr},
    {"UnknownHostKeyAnsweredNo",
     TServer::OpenSsh,
     [](TScene& scene) {
         scene.answers.trust = false;
         scene.login.password = "geheim";
     },
     {},
     {},
     "wurde nicht vertraut; es wurde nichts gesendet",
     "",
     [](TScene& scene) {
         EXPECT_EQ(scene.answers.asked.size(), 1u);
         EXPECT_EQ(scene.sshd->Log().find("userauth-request"), std::string::npos);
         EXPECT_FALSE(std::filesystem::exists(scene.home + "/.ssh/known_hosts"));
     }},
    {"ChangedHostKeyRefused",
     TServer::OpenSsh,
     [](TScene& scene) {
         WriteFileBytes(scene.home + "/.ssh/known_hosts",
                        "[127.0.0.1]:" + std::to_string(scene.login.port) + " " +
                            ReadFileBytes(scene.sshd->keyFolder() + "/other_host_ed25519.pub"));
     },
     {},
     {},
     "ist nicht mehr der, den ~/.ssh/known_hosts für ihn kennt",
     "",
     [](TScene& scene) {
         EXPECT_TRUE(scene.answers.asked.empty());
         EXPECT_EQ(scene.sshd->Log().find("userauth-request"), std::string::npos);
     }},
    {"MissingServerFolder",
     TServer::OpenSsh,
     [](TScene& scene) { scene.login.folder += "/gibtsnicht"; },
     {},
     {},
     "gibt es auf dem Server nicht",
     "",
     nullptr},
    {"ConnectionCutInABigPicture",
     TServer::OpenSsh,
     [](TScene& scene) {
         WriteFileBytes(scene.page + "/index.html", PageNaming("<img src=\"bilder/gross.jpg\">"));
         WriteFileBytes(scene.page + "/bilder/gross.jpg", Bytes(50 << 20, 'o'));
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/gross.jpg", Bytes(50 << 20, 'n'));
         scene.progress.onSending = [&scene, cut = false](const std::string& file, std::uint64_t sent,
                                                          std::uint64_t) mutable {
             if (file != "bilder/gross.jpg" || sent < (10u << 20) || cut) return;
             cut = true;
             scene.sshd->CutSessions();
         };
     },
     {},
     {"index.html", "bilder/a.jpg", "bilder/b.png", "logo.gif"},
     "Die Verbindung zum Server ist abgebrochen (",
     "bilder/\nbilder/a.jpg\nbilder/b.png\nbilder/gross.jpg\nbilder/gross.jpg.tavirel-neu\nindex.html\nlogo.gif\n",
     [](TScene& scene) {
         const std::string stays = "). „bilder/gross.jpg“ ist auf dem Server geblieben, wie es war.";
         EXPECT_EQ(scene.last.error.substr(scene.last.error.size() - stays.size()), stays);
         EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/gross.jpg") == Bytes(50 << 20, 'o'));
         scene.progress.onSending = nullptr;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_EQ(again.error, "");
         EXPECT_EQ(again.sent, std::vector<std::string>{"bilder/gross.jpg"});
         EXPECT_EQ(Tree(scene.server), "bilder/\nbilder/a.jpg\nbilder/b.png\nbilder/gross.jpg\nindex.html\nlogo.gif\n");
         scene.ExpectServerHasThePage();
     }},
};

class Publish : public testing::TestWithParam<TRow> {};

TEST_P(Publish, LeavesTheServerFolderAsExpected) {
    publishtest::RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, Publish, testing::ValuesIn(kRows), publishtest::RowName<TRow>);

}  // namespace
