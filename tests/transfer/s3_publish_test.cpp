// Publishing to object storage: s3rver on 127.0.0.1 over TLS with a
// self-signed certificate, the site below the prefix "www" of one bucket.
// The rows of the other ways, as a store keeps objects: each key's bytes
// and what it went up with are read from the store's disk, others' objects
// are put there as another computer would, over the same protocol.
// Unlike S3, s3rver writes an object as it arrives: a PUT cut off leaves
// part of it, where S3 keeps the old object. The rows show what the
// program does then (it says so, and sends the file again).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>

#include "support/files.h"
#include "support/s3_store.h"
#include "support/server_folder.h"
#include "transfer/publish_scene.h"
#include "transfer/s3_server.h"

namespace {

using publishtest::PublishOnce;
using publishtest::TStop;
using testsupport::Bytes;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;
using transfer::TCause;
using transfer::TFault;

const std::vector<std::string> kAll = {"index.html", "bilder/a.jpg", "bilder/b.png", "logo.gif"};
const char* const kPageKeys = "bilder/a.jpg\nbilder/b.png\nindex.html\nlogo.gif\n";

enum class TStore { S3 };

struct TScene : publishtest::TPublishScene {
    explicit TScene(TStore)
        : TPublishScene(
              "<html><body><img src=\"bilder/a.jpg\"><img src=\"bilder/b.png\"><img src=\"logo.gif\">"
              "</body></html>\r\n"),
          settings(home + "/.config/tavirel") {
        WriteFileBytes(page + "/bilder/a.jpg", Bytes(200 * 1024, 'a'));
        WriteFileBytes(page + "/bilder/b.png", Bytes(3000, 'b'));
        WriteFileBytes(page + "/logo.gif", Bytes(10, 'l'));
        login.protocol = transfer::TProtocol::S3;
        login.address = store.Endpoint();
        login.port = store.port();
        login.region = "eu-central-1";
        login.bucket = testsupport::TS3Store::kBucket;
        login.folder = "www";
        // s3rver knows this access key only, and takes any secret: it does
        // not check signatures.
        login.user = "S3RVER";
        login.password = "geheim 123";
        login.trustFolder = settings;
    }

    // What the page's files are in the store: each byte.
    void ExpectStoreHasThePage() const {
        for (const std::string& file : plan.files) {
            SCOPED_TRACE(file);
            EXPECT_TRUE(store.Object("www/" + file) == ReadFileBytes(page + "/" + file));
        }
    }

    // An object put there by someone else, over the same protocol.
    void PutObject(const std::string& key, const std::string& bytes) { PutObjects({key}, bytes); }
    void PutObjects(const std::vector<std::string>& keys, const std::string& bytes) {
        publishtest::TAnswers yes;
        transfer::TServerLogin other = login;
        other.trustFolder = home + "/andere";
        std::unique_ptr<transfer::IRemoteServer> server = transfer::OpenS3Server(other, yes, cancel);
        const std::string file = work.path() + "/fremd";
        WriteFileBytes(file, bytes);
        const int in = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        for (const std::string& key : keys) server->Upload(in, key, key, [](std::uint64_t) { return true; });
        close(in);
    }

    std::string Pins() const { return ReadFileBytes(settings + "/trusted_certificates"); }

    testsupport::TS3Store store;
    std::string settings;
    std::map<std::string, std::string> stampsBefore;
};

using TRow = publishtest::TRow<TScene, TStore>;

const TRow kRows[] = {
    {"FirstPublish",
     {TStore::S3},
     nullptr,
     kAll,
     {},
     std::nullopt,
     nullptr,
     [](TScene& scene) {
         EXPECT_EQ(scene.store.Keys("www/"), kPageKeys);
         scene.ExpectStoreHasThePage();
         // Pages in their code page and briefly kept, pictures long.
         EXPECT_EQ(scene.store.Headers("www/index.html"), "text/html; charset=windows-1252 | public, max-age=300");
         EXPECT_EQ(scene.store.Headers("www/bilder/a.jpg"), "image/jpeg | public, max-age=604800");
         const std::string server = "127.0.0.1:" + std::to_string(scene.store.port());
         EXPECT_EQ(scene.answers.asked, std::vector<std::string>{server + " | TLS-Zertifikat, selbst signiert | " +
                                                                 scene.store.Fingerprint()});
         EXPECT_EQ(scene.Pins(), server + " " + scene.store.Fingerprint() + "\n");
     }},
    {"AgainNothingChanged",
     {TStore::S3},
     [](TScene& scene) {
         PublishOnce(scene);
         scene.stampsBefore = testsupport::Stamps(scene.store.Folder());
     },
     {},
     kAll,
     std::nullopt,
     nullptr,
     [](TScene& scene) {
         EXPECT_EQ(testsupport::Stamps(scene.store.Folder()), scene.stampsBefore);
         EXPECT_EQ(scene.answers.asked.size(), 1u);
     }},
    // More objects than one page of a listing holds: the page's own come
    // on the second, found by its continuation token.
    {"ListedPageByPage",
     {TStore::S3},
     [](TScene& scene) {
         std::vector<std::string> keys;
         for (int i = 0; i < 1001; ++i) keys.push_back("www/bilder/" + std::to_string(10000 + i) + ".jpg");
         scene.PutObjects(keys, "fremd");
         PublishOnce(scene);
     },
     {},
     kAll,
     std::nullopt,
     nullptr,
     [](TScene& scene) { EXPECT_EQ(scene.store.Object("www/bilder/10000.jpg"), "fremd"); }},
    {"OneFileChangedHereOneOnTheServer",
     {TStore::S3},
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(200 * 1024, 'z'));
         scene.PutObject("www/bilder/b.png", "von Hand");
     },
     {"bilder/a.jpg", "bilder/b.png"},
     {"index.html", "logo.gif"},
     std::nullopt,
     nullptr,
     [](TScene& scene) { scene.ExpectStoreHasThePage(); }},
    // Objects the program did not send stay, whatever their names.
    {"OthersObjectsStay",
     {TStore::S3},
     [](TScene& scene) {
         for (const char* key : {"www/fremd.txt", "www/x.tavirel-alt", "www/bilder/y.jpg.tavirel-neu", "andere/a.jpg"})
             scene.PutObject(key, key);
     },
     kAll,
     {},
     std::nullopt,
     nullptr,
     [](TScene& scene) {
         EXPECT_EQ(scene.store.Keys(),
                   "andere/a.jpg\nwww/bilder/a.jpg\nwww/bilder/b.png\nwww/bilder/y.jpg.tavirel-neu\nwww/fremd.txt\n"
                   "www/index.html\nwww/logo.gif\nwww/x.tavirel-alt\n");
         for (const char* key : {"www/fremd.txt", "www/x.tavirel-alt", "www/bilder/y.jpg.tavirel-neu", "andere/a.jpg"})
             EXPECT_EQ(scene.store.Object(key), key);
     }},
    {"CancelledInAPicture",
     {TStore::S3},
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
     nullptr,
     [](TScene& scene) {
         // No other name was used; the next publish sends the new one.
         EXPECT_EQ(scene.store.Keys("www/"), kPageKeys);
         scene.progress.onSending = nullptr;
         scene.cancel = false;
         const transfer::TPublishResult again = scene.Publish();
         EXPECT_FALSE(again.error);
         EXPECT_EQ(again.sent, std::vector<std::string>{"bilder/a.jpg"});
         EXPECT_TRUE(scene.store.Object("www/bilder/a.jpg") == Bytes(4 << 20, 'n'));
     }},
    {"ConnectionCutInABigPicture",
     {TStore::S3},
     [](TScene& scene) {
         PublishOnce(scene);
         WriteFileBytes(scene.page + "/bilder/a.jpg", Bytes(16 << 20, 'n'));
         scene.progress.onSending = [&scene, cut = false](const std::string& file, std::uint64_t sent,
                                                          std::uint64_t) mutable {
             if (file != "bilder/a.jpg" || sent < (1u << 20) || cut) return;
             cut = true;
             scene.store.Cut();
         };
     },
     {},
     {"index.html"},
     TStop{TFault::NotWritten, TCause::ConnectionCut, TFault::FileStays},
     nullptr,
     [](TScene& scene) { EXPECT_EQ(scene.store.Keys("www/"), kPageKeys); }},
    {"WrongAccessKey",
     {TStore::S3},
     [](TScene& scene) { scene.login.user = "FALSCH"; },
     {},
     {},
     TStop{TFault::AccessKeyRefused},
     nullptr,
     nullptr},
    {"MissingBucket",
     {TStore::S3},
     [](TScene& scene) { scene.login.bucket = "gibtsnicht"; },
     {},
     {},
     TStop{TFault::BucketMissing},
     nullptr,
     nullptr},
    {"PlainHttpRefused",
     {TStore::S3},
     [](TScene& scene) { scene.login.address = "http://localhost:" + std::to_string(scene.store.port()); },
     {},
     {},
     TStop{TFault::NotHttps},
     nullptr,
     [](TScene& scene) { EXPECT_TRUE(scene.answers.asked.empty()); }},
    // What went up comes back byte for byte, within its bound.
    {"DownloadGivesBackWhatWentUp",
     {TStore::S3},
     nullptr,
     kAll,
     {},
     std::nullopt,
     nullptr,
     [](TScene& scene) {
         std::unique_ptr<transfer::IRemoteServer> server =
             transfer::OpenS3Server(scene.login, scene.answers, scene.cancel);
         const auto fetch = [&](const std::string& key, std::uint64_t most) {
             const std::string file = scene.work.path() + "/geholt";
             std::filesystem::remove(file);
             const int out = open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
             const transfer::TDownloaded end = server->Download(key, out, most, [](std::uint64_t) { return true; });
             close(out);
             return std::pair{end, ReadFileBytes(file)};
         };
         for (const std::string& file : kAll) {
             SCOPED_TRACE(file);
             const auto [end, bytes] = fetch("www/" + file, 1 << 20);
             EXPECT_EQ(end, transfer::TDownloaded::Whole);
             EXPECT_TRUE(bytes == ReadFileBytes(scene.page + "/" + file));
         }
         EXPECT_EQ(fetch("www/bilder/a.jpg", 1000).first, transfer::TDownloaded::TooLarge);
         try {
             fetch("www/fehlt.jpg", 100);
             ADD_FAILURE() << "a missing object came back";
         } catch (const transfer::TTransferError& error) {
             EXPECT_EQ(error.fault(), TFault::NotFetched) << error.what();
             EXPECT_EQ(error.cause(), TCause::NotThere) << error.what();
         }
     }},
};

class PublishToStore : public testing::TestWithParam<publishtest::TRowOn<TScene, TStore>> {};

TEST_P(PublishToStore, LeavesTheStoreAsExpected) {
    publishtest::RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, PublishToStore, testing::ValuesIn(publishtest::OnEachServer(kRows)),
                         [](const testing::TestParamInfo<publishtest::TRowOn<TScene, TStore>>& info) {
                             return std::string("S3_") + info.param.row->name;
                         });

}  // namespace
