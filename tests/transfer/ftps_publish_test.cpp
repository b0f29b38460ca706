// Publishing over FTPS against a real server on 127.0.0.1: pyftpdlib with
// explicit TLS and a self-signed certificate, so that every row meets the
// certificate question. What FTPS shares with SFTP (the publish steps) is
// tested once, with the SFTP rows; these rows are what FTPS adds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "support/files.h"
#include "support/ftps_server.h"
#include "support/server_process.h"
#include "transfer/publish_scene.h"

namespace {

using publishtest::PublishOnce;
using publishtest::TPublishScene;
using testsupport::Bytes;
using testsupport::ReadFileBytes;
using testsupport::Tree;
using testsupport::WriteFileBytes;

const char* const kUser = "tavi";
const char* const kPassword = "geheim 123";

// One publish's world on the FTPS server: the program's settings are where
// certificates are pinned.
struct TScene : TPublishScene {
    explicit TScene(testsupport::TFtpsServer::TQuirk quirk)
        : TPublishScene("<html><body><img src=\"bilder/a.jpg\"><img src=\"logo.gif\"></body></html>\r\n"),
          settings(home + "/.config/tavirel") {
        WriteFileBytes(page + "/bilder/a.jpg", Bytes(300 * 1024, 'a'));
        WriteFileBytes(page + "/logo.gif", Bytes(10, 'l'));
        ftps = std::make_unique<testsupport::TFtpsServer>(server, kUser, kPassword, quirk);
        login.protocol = transfer::TProtocol::Ftps;
        login.port = ftps->port();
        login.user = kUser;
        login.password = kPassword;
        login.trustFolder = settings;
    }

    std::string Question() const {
        return "127.0.0.1:" + std::to_string(login.port) + " | TLS-Zertifikat, selbst signiert | " +
               ftps->Fingerprint();
    }

    std::string Pins() const { return ReadFileBytes(settings + "/trusted_certificates"); }

    ~TScene() {
        if (later.joinable()) later.join();
    }

    std::string settings;
    std::unique_ptr<testsupport::TFtpsServer> ftps;
    std::unique_ptr<testsupport::TSilentPort> silent;
    std::thread later;  // acts while a publish runs
    std::chrono::steady_clock::time_point started;
};

constexpr auto kPlain = testsupport::TFtpsServer::TQuirk::None;
constexpr auto kNoMlsd = testsupport::TFtpsServer::TQuirk::NoMlsd;

const std::vector<std::string> kAll = {"index.html", "bilder/a.jpg", "logo.gif"};
const char* const kPageTree = "bilder/\nbilder/a.jpg\nindex.html\nlogo.gif\n";

bool LoggedIn(const TScene& scene) {
    const std::string commands = scene.ftps->Commands();
    return commands.find("USER") != std::string::npos || commands.find("PASS") != std::string::npos;
}

using TRow = publishtest::TRow<TScene, testsupport::TFtpsServer::TQuirk>;

const TRow kRows[] = {
    {"FirstPublishCertificateAnsweredYes",
     kPlain,
     nullptr,
     kAll,
     {},
     "",
     kPageTree,
     [](TScene& scene) {
         scene.ExpectServerHasThePage();
         EXPECT_EQ(scene.answers.asked, std::vector<std::string>{scene.Question()});
         EXPECT_EQ(scene.Pins(),
                   "127.0.0.1:" + std::to_string(scene.login.port) + " " + scene.ftps->Fingerprint() + "\n");
     }},
    {"AgainNothingChanged",
     kPlain,
     PublishOnce,
     {},
     kAll,
     "",
     kPageTree,
     // Pinned: not asked again.
     [](TScene& scene) { EXPECT_EQ(scene.answers.asked.size(), 1u); }},
    {"AgainOnlyByList",
     kNoMlsd,
     PublishOnce,
     {},
     kAll,
     "",
     kPageTree,
     [](TScene& scene) { EXPECT_NE(scene.ftps->Commands().find("LIST\n"), std::string::npos); }},
    {"ChangedPageAgain",
     kPlain,
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(300 * 1024, 'z'));
     },
     {"bilder/a.jpg"},
     {"index.html", "logo.gif"},
     "",
     kPageTree,
     [](TScene& scene) { EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/a.jpg") == Bytes(300 * 1024, 'z')); }},
    {"IntoAnAbsoluteFolderWithSpaces",
     kPlain,
     [](TScene& scene) {
         testsupport::MakeDirectories(scene.server + "/mein web");
         scene.login.folder = "/mein web";
     },
     kAll,
     {},
     "",
     "mein web/\nmein web/bilder/\nmein web/bilder/a.jpg\nmein web/index.html\nmein web/logo.gif\n",
     nullptr},
    {"CancelledInAPicture",
     kPlain,
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(4 << 20, 'n'));
         scene.progress.onSending = [&scene](const std::string& file, std::uint64_t sent, std::uint64_t) {
             if (file == "bilder/a.jpg" && sent > 0) scene.cancel = true;
         };
     },
     {},
     {"index.html"},
     "Veröffentlichen abgebrochen",
     kPageTree,
     [](TScene& scene) {
         // The old picture stays whole; the next publish sends the new one.
         EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/a.jpg") == Bytes(300 * 1024, "a"[0]))
             << ReadFileBytes(scene.server + "/bilder/a.jpg").size() << " "
             << ReadFileBytes(scene.server + "/bilder/a.jpg").substr(0, 8);
         scene.progress.onSending = nullptr;
         scene.cancel = false;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_EQ(again.error, "");
         EXPECT_EQ(again.sent, std::vector<std::string>{"bilder/a.jpg"});
         EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/a.jpg") == Bytes(4 << 20, 'n'));
     }},
    {"ConnectionLostInAPicture",
     kPlain,
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(16 << 20, 'n'));
         scene.progress.onSending = [&scene, cut = false](const std::string& file, std::uint64_t sent,
                                                          std::uint64_t) mutable {
             if (file != "bilder/a.jpg" || sent < (1u << 20) || cut) return;
             cut = true;
             scene.ftps->Cut();
         };
     },
     {},
     {"index.html"},
     "die Verbindung zum Server ist abgebrochen",
     "bilder/\nbilder/a.jpg\nbilder/a.jpg.tavirel-neu\nindex.html\nlogo.gif\n",
     [](TScene& scene) { EXPECT_TRUE(ReadFileBytes(scene.server + "/bilder/a.jpg") == Bytes(300 * 1024, 'a')); }},
    {"ServerFolderLinkedToAFolderByList",
     kNoMlsd,
     [](TScene& scene) {
         // Inside the served folder: the server refuses a link that leads out.
         testsupport::MakeDirectories(scene.server + "/shared");
         testsupport::MakeDirectories(scene.server + "/www");
         std::filesystem::create_directory_symlink("../shared", scene.server + "/www/bilder");
         scene.login.folder = "www";
     },
     kAll,
     {},
     "",
     "shared/\nshared/a.jpg\nwww/\nwww/bilder/\nwww/index.html\nwww/logo.gif\n",
     [](TScene& scene) {
         EXPECT_TRUE(std::filesystem::is_symlink(scene.server + "/www/bilder"));
         EXPECT_TRUE(ReadFileBytes(scene.server + "/shared/a.jpg") == ReadFileBytes(scene.page + "/bilder/a.jpg"));
     }},
    {"CertificateAnsweredNo",
     kPlain,
     [](TScene& scene) { scene.answers.trust = false; },
     {},
     {},
     "wurde nicht vertraut; es wurde nichts gesendet",
     "",
     [](TScene& scene) {
         EXPECT_EQ(scene.answers.asked, std::vector<std::string>{scene.Question()});
         EXPECT_FALSE(LoggedIn(scene)) << scene.ftps->Commands();
         EXPECT_EQ(scene.Pins(), "<missing>");
     }},
    {"ChangedCertificateRefused",
     kPlain,
     [](TScene& scene) {
         PublishOnce(scene);
         scene.ftps->ChangeCertificate();
         scene.ftps->ForgetCommands();
     },
     {},
     {},
     "ist nicht mehr das, dem Sie vertraut haben",
     kPageTree,
     [](TScene& scene) {
         EXPECT_EQ(scene.answers.asked.size(), 1u);
         EXPECT_FALSE(LoggedIn(scene)) << scene.ftps->Commands();
     }},
    {"ArrivedShort",
     testsupport::TFtpsServer::TQuirk::LosesLastByte,
     nullptr,
     {},
     {},
     "„index.html.tavirel-neu“ ist auf dem Server nicht ganz angekommen (71 von 72 Bytes)",
     // The short file never takes the page's name; the next publish tidies it.
     "index.html.tavirel-neu\n",
     nullptr},
    {"CancelledBeforeTheServerSpeaks",
     kPlain,
     [](TScene& scene) {
         scene.silent = std::make_unique<testsupport::TSilentPort>();
         scene.login.port = scene.silent->port();
         scene.started = std::chrono::steady_clock::now();
         scene.later = std::thread([&scene] {
             std::this_thread::sleep_for(std::chrono::milliseconds(300));
             scene.cancel = true;
         });
     },
     {},
     {},
     "Veröffentlichen abgebrochen.",
     "",
     [](TScene& scene) { EXPECT_LT(std::chrono::steady_clock::now() - scene.started, std::chrono::seconds(5)); }},
    {"WrongPassword",
     kPlain,
     [](TScene& scene) { scene.login.password = "falsch"; },
     {},
     {},
     "Anmeldung als „tavi“ abgelehnt: das Kennwort ist falsch",
     "",
     nullptr},
};

class FtpsPublish : public testing::TestWithParam<TRow> {};

TEST_P(FtpsPublish, LeavesTheServerFolderAsExpected) {
    publishtest::RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, FtpsPublish, testing::ValuesIn(kRows), publishtest::RowName<TRow>);

}  // namespace
