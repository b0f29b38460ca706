// Publishing over FTPS against a real server on 127.0.0.1: pyftpdlib with
// explicit TLS and a self-signed certificate, so that every row meets the
// certificate question. What FTPS shares with SFTP (the publish steps) is
// tested once, with the SFTP rows; these rows are what FTPS adds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "support/files.h"
#include "support/ftps_server.h"
#include "transfer/publish.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

const char* const kUser = "tavi";
const char* const kPassword = "geheim 123";

std::string Bytes(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 + i / 251);
    return bytes;
}

// "name" for a file, "name/" for a folder, every level, sorted.
std::string Tree(const std::string& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).string();
        entries.push_back(entry.is_directory() ? name + "/" : name);
    }
    std::sort(entries.begin(), entries.end());
    std::string tree;
    for (const std::string& entry : entries) tree += entry + "\n";
    return tree;
}

// Inode and modification time of every file: any rewrite changes them.
std::map<std::string, std::string> Stamps(const std::string& folder) {
    std::map<std::string, std::string> stamps;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat st {};
        stat(entry.path().c_str(), &st);
        stamps[entry.path().string()] = std::to_string(st.st_ino) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
                                        std::to_string(st.st_mtim.tv_nsec);
    }
    return stamps;
}

class TAnswers : public transfer::IPublishQuestions {
public:
    bool TrustUnknownHost(const std::string& host, const std::string& keyType,
                          const std::string& fingerprint) override {
        asked.push_back(host + " | " + keyType + " | " + fingerprint);
        return trust;
    }
    std::optional<std::string> KeyPassphrase(const std::filesystem::path&) override { return std::nullopt; }

    bool trust = true;
    std::vector<std::string> asked;
};

class TProgress : public transfer::IPublishProgress {
public:
    void Sending(const std::string& file, std::uint64_t sent, std::uint64_t size) override {
        if (onSending) onSending(file, sent, size);
    }
    std::function<void(const std::string&, std::uint64_t, std::uint64_t)> onSending;
};

// One publish's world: the page's folder, the server's folder, the
// program's settings (where certificates are pinned) and HOME.
struct TScene {
    explicit TScene(testsupport::TFtpsServer::TQuirk quirk)
        : home(work.path() + "/home"),
          page(work.path() + "/page"),
          server(work.path() + "/server"),
          settings(home + "/.config/tavirel") {
        testsupport::MakeDirectories(home);
        testsupport::MakeDirectories(page + "/bilder");
        testsupport::MakeDirectories(server);
        setenv("HOME", home.c_str(), 1);
        WriteFileBytes(page + "/index.html",
                       "<html><body><img src=\"bilder/a.jpg\"><img src=\"logo.gif\"></body></html>\r\n");
        WriteFileBytes(page + "/bilder/a.jpg", Bytes(300 * 1024, 'a'));
        WriteFileBytes(page + "/logo.gif", Bytes(10, 'l'));
        ftps = std::make_unique<testsupport::TFtpsServer>(server, kUser, kPassword, quirk);
        login.protocol = transfer::TProtocol::Ftps;
        login.host = "127.0.0.1";
        login.port = ftps->port();
        login.user = kUser;
        login.password = kPassword;
        login.trustFolder = settings;
    }

    transfer::TPublishResult Publish() {
        plan = transfer::PlanPublish(page + "/index.html");
        return transfer::Publish(plan, login, home + "/records", answers, progress, cancel);
    }

    std::string Question() const {
        return "127.0.0.1:" + std::to_string(login.port) + " | TLS-Zertifikat, selbst signiert | " +
               ftps->Fingerprint();
    }

    std::string Pins() const { return ReadFileBytes(settings + "/trusted_certificates"); }

    testsupport::TWorkDir work;
    std::string home, page, server, settings;
    std::unique_ptr<testsupport::TFtpsServer> ftps;
    transfer::TServerLogin login;
    transfer::TPublishPlan plan;
    TAnswers answers;
    TProgress progress;
    std::atomic<bool> cancel = false;
};

constexpr auto kPlain = testsupport::TFtpsServer::TQuirk::None;
constexpr auto kNoMlsd = testsupport::TFtpsServer::TQuirk::NoMlsd;

const std::vector<std::string> kAll = {"index.html", "bilder/a.jpg", "logo.gif"};
const char* const kPageTree = "bilder/\nbilder/a.jpg\nindex.html\nlogo.gif\n";

void PublishOnce(TScene& scene) {
    const transfer::TPublishResult first = scene.Publish();
    ASSERT_EQ(first.error, "");
    ASSERT_EQ(first.sent, kAll);
}

bool LoggedIn(const TScene& scene) {
    const std::string commands = scene.ftps->Commands();
    return commands.find("USER") != std::string::npos || commands.find("PASS") != std::string::npos;
}

struct TRow {
    const char* name;
    testsupport::TFtpsServer::TQuirk quirk;
    std::function<void(TScene&)> before;  // earlier publishes, answers, changes
    std::vector<std::string> sent;
    std::vector<std::string> unchanged;
    const char* error;  // part of the message; "" for none
    const char* serverTree;
    std::function<void(TScene&)> after;  // what else the row shows
};

const TRow kRows[] = {
    {"FirstPublishCertificateAnsweredYes",
     kPlain,
     nullptr,
     kAll,
     {},
     "",
     kPageTree,
     [](TScene& scene) {
         for (const std::string& file : scene.plan.files) {
             SCOPED_TRACE(file);
             EXPECT_TRUE(ReadFileBytes(scene.server + "/" + file) == ReadFileBytes(scene.page + "/" + file));
         }
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
    {"WrongPassword",
     kPlain,
     [](TScene& scene) { scene.login.password = "falsch"; },
     {},
     {},
     "Anmeldung als „tavi“ abgelehnt: das Kennwort ist falsch",
     "",
     nullptr},
};

void PrintTo(const TRow& row, std::ostream* out) {
    *out << row.name;
}

class FtpsPublish : public testing::TestWithParam<TRow> {};

TEST_P(FtpsPublish, LeavesTheServerFolderAsExpected) {
    const TRow& row = GetParam();
    TScene scene(row.quirk);
    if (row.before) row.before(scene);
    if (HasFatalFailure()) return;
    const std::map<std::string, std::string> stampsBefore = Stamps(scene.server);
    const transfer::TPublishResult result = scene.Publish();
    if (std::string(row.error).empty()) {
        EXPECT_EQ(result.error, "");
    } else {
        EXPECT_NE(result.error.find(row.error), std::string::npos) << result.error;
    }
    EXPECT_EQ(result.sent, row.sent);
    EXPECT_EQ(result.unchanged, row.unchanged);
    EXPECT_EQ(Tree(scene.server), row.serverTree);
    // Nothing sent is nothing rewritten: the server's times stay.
    if (row.sent.empty() && std::string(row.error).empty()) {
        EXPECT_EQ(Stamps(scene.server), stampsBefore);
    }
    if (row.after) row.after(scene);
    // The password goes to the server only, never into a file here.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scene.home))
        if (entry.is_regular_file()) {
            EXPECT_EQ(ReadFileBytes(entry.path()).find(kPassword), std::string::npos) << entry.path();
        }
}

INSTANTIATE_TEST_SUITE_P(Rows, FtpsPublish, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<TRow>& info) { return std::string(info.param.name); });

}  // namespace
