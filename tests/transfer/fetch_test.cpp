// "Vom Server holen" against the real servers the publish rows use: a site
// of three pages published from one computer, its folder gone, fetched
// into a new folder as on a second computer, and published from there.
#include "transfer/fetch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "core/page_generator.h"
#include "support/files.h"
#include "support/ftps_server.h"
#include "support/s3_store.h"
#include "support/server_folder.h"
#include "support/sftp_servers.h"
#include "support/web_pictures.h"
#include "support/webdav_servers.h"
#include "transfer/connection.h"
#include "transfer/publish_scene.h"
#include "transfer/result_line.h"

namespace {

using testsupport::Bytes;
using testsupport::ReadFileBytes;
using testsupport::Tree;
using testsupport::WriteFileBytes;
using TWhy = transfer::TNotFetched::TWhy;

// Rclone's SFTP server answers a read with at most 32 KiB.
enum class TServer { OpenSsh, Ftps, Rclone, WebDav, S3 };

// A page of the site, `up` the way from its folder to the site's.
std::string SitePage(const std::string& title, const std::string& picture, const std::vector<std::string>& text = {},
                     const std::string& up = "") {
    core::TPageDescription page;
    page.Title = page.HeadingText = title;
    page.Links = {{"Start", up + "index.html"}, {"Verein", up + "seiten/verein.html"}, {"Fotos", up + "fotos.html"}};
    page.Images = {{picture, title}};
    page.HeadingImage = up + page.HeadingImage;
    page.BackgroundImage = up + page.BackgroundImage;
    page.TextLines = text;
    return std::string(core::GeneratePage(page).FileBytes());
}

// A photo goes up as its web copy, and comes back so.
const std::string kPhoto = "<img src=\"bilder/foto.jpg\">";

// What the site holds, and what a fetch brings back of it.
const char* const kSiteTree =
    "bild.jpg\nbilder/\nbilder/a.jpg\nbilder/foto.jpg\nbilder/"
    "gross.jpg\nfotos.html\nhintergrund.jpg\nindex.html\nseiten/\nseiten/"
    "verein.html\n";

// The site published once from `page`; that folder and the record of what
// was sent then are gone, as on another computer.
struct TScene : publishtest::TPublishScene {
    explicit TScene(TServer kind) : TPublishScene(SitePage("Start", "bilder/a.jpg", {kPhoto})) {
        testsupport::MakeDirectories(page + "/seiten");
        WriteFileBytes(page + "/seiten/verein.html", SitePage("Verein", "../bilder/a.jpg", {}, "../"));
        WriteFileBytes(page + "/fotos.html", SitePage("Fotos", "bilder/gross.jpg"));
        site["bild.jpg"] = Bytes(10, 'b');
        site["bilder/a.jpg"] = Bytes(200 * 1024, 'a');
        site["bilder/gross.jpg"] = Bytes(8 << 20, 'g');
        site["hintergrund.jpg"] = Bytes(3000, 'h');
        for (const auto& [name, bytes] : site) WriteFileBytes(page + "/" + name, bytes);
        testsupport::LocatedPicture(page + "/bilder/foto.jpg", 300, 200);
        if (kind == TServer::OpenSsh) {
            unsetenv("SSH_AUTH_SOCK");
            sshd = std::make_unique<testsupport::TSshServer>();
            login.port = sshd->port();
            login.user = getpwuid(getuid())->pw_name;
            login.folder = server;
            testsupport::MakeDirectories(home + "/.ssh");
            for (const std::string suffix : {"", ".pub"})
                WriteFileBytes(home + "/.ssh/id_ed25519" + suffix,
                               ReadFileBytes(sshd->keyFolder() + "/id_ed25519" + suffix));
            std::filesystem::permissions(home + "/.ssh/id_ed25519", std::filesystem::perms::owner_read);
        } else if (kind == TServer::Rclone) {
            rclone = std::make_unique<testsupport::TRcloneSftpServer>(server, "tavi", "geheim 123");
            login.port = rclone->port();
            login.user = "tavi";
            login.password = "geheim 123";
        } else if (kind == TServer::WebDav) {
            webDav = std::make_unique<testsupport::TRcloneWebDavServer>(server, "tavi", "geheim 123");
            login.protocol = transfer::TProtocol::WebDav;
            login.address = webDav->Address();
            login.port = webDav->port();
            login.user = "tavi";
            login.password = "geheim 123";
        } else if (kind == TServer::S3) {
            // s3rver knows this access key only, and takes any secret.
            s3 = std::make_unique<testsupport::TS3Store>();
            login.protocol = transfer::TProtocol::S3;
            login.address = s3->Endpoint();
            login.port = s3->port();
            login.region = "eu-central-1";
            login.bucket = testsupport::TS3Store::kBucket;
            login.folder = "www";
            login.user = "S3RVER";
            login.password = "geheim 123";
            login.trustFolder = home + "/.config/tavirel";
        } else {
            ftps = std::make_unique<testsupport::TFtpsServer>(server, "tavi", "geheim 123");
            login.protocol = transfer::TProtocol::Ftps;
            login.port = ftps->port();
            login.user = "tavi";
            login.password = "geheim 123";
            login.trustFolder = home + "/.config/tavirel";
        }
        publishtest::PublishOnce(*this);
        published = plan.files;
        for (const std::string& file : plan.files) site[file] = OnServer(file);
        std::filesystem::remove_all(page);
        std::filesystem::remove_all(records);
    }

    transfer::TFetchResult Fetch() {
        order.folder = here;
        last = transfer::Fetch(order, login, records, answers, progress, cancel);
        return last;
    }

    // Every file of the site here, byte for byte, and nothing else; a
    // publish from here sends nothing.
    void ExpectTheSiteHere() {
        EXPECT_EQ(Tree(here), kSiteTree);
        for (const auto& [name, bytes] : site) EXPECT_TRUE(ReadFileBytes(here + "/" + name) == bytes) << name;
        page = here;
        progress.prepared.clear();
        const transfer::TPublishResult again = Publish();
        EXPECT_FALSE(again.error);
        EXPECT_EQ(again.sent, std::vector<std::string>{});
        // The photo is known for the web copy it is: not even rebuilt.
        EXPECT_EQ(progress.prepared, std::vector<std::string>{});
        EXPECT_EQ(again.unchanged.size(), site.size());
    }

    // What the server keeps of the file, byte for byte.
    std::string OnServer(const std::string& name) const {
        return s3 ? s3->Object("www/" + name) : ReadFileBytes(server + "/" + name);
    }

    void PutOnServer(const std::string& name, const std::string& bytes) const {
        testsupport::MakeDirectories(std::filesystem::path(server + "/" + name).parent_path().string());
        WriteFileBytes(server + "/" + name, bytes);
    }

    void Cut() {
        if (ftps)
            ftps->Cut();
        else
            sshd->CutSessions();
    }

    std::string here = work.path() + "/zweiter Rechner";
    std::map<std::string, std::string> site;
    std::vector<std::string> published;  // in the order sent
    transfer::TFetchOrder order;
    transfer::TFetchResult last;
    std::unique_ptr<testsupport::TSshServer> sshd;
    std::unique_ptr<testsupport::TFtpsServer> ftps;
    std::unique_ptr<testsupport::TRcloneSftpServer> rclone;
    std::unique_ptr<testsupport::TRcloneWebDavServer> webDav;
    std::unique_ptr<testsupport::TS3Store> s3;
};

struct TFetchRow {
    const char* name;
    std::function<void(TScene&)> before;
    std::function<void(TScene&, const transfer::TFetchResult&)> after;
    std::vector<TServer> servers = {TServer::OpenSsh, TServer::Ftps};
};

const TFetchRow kRows[] = {
    {"SiteComesBackByteForByte",
     nullptr,
     [](TScene& scene, const transfer::TFetchResult& result) {
         // As the publish sent them: the pages first.
         EXPECT_EQ(result.pages, (std::vector<std::string>{"index.html", "seiten/verein.html", "fotos.html"}));
         std::vector<std::string> fetched = result.pages;
         fetched.insert(fetched.end(), result.files.begin(), result.files.end());
         EXPECT_EQ(fetched, scene.published);
         EXPECT_TRUE(result.notFetched.empty());
         scene.ExpectTheSiteHere();
     },
     {TServer::OpenSsh, TServer::Ftps, TServer::Rclone, TServer::WebDav, TServer::S3}},
    // A file larger than it may be is not read much beyond that.
    {"DownloadStopsOneByteBeyondItsBound", nullptr,
     [](TScene& scene, const transfer::TFetchResult&) {
         const auto server = transfer::OpenServer(scene.login, scene.answers, scene.cancel);
         const std::string picture = (scene.ftps ? "" : scene.server + "/") + "bilder/a.jpg";
         for (const std::uint64_t most : {200u * 1024, 200u * 1024 - 1, 1000u}) {
             SCOPED_TRACE(most);
             const testsupport::TScratchFolder here;
             const core::TOpenFile file(open((here.path() + "/a").c_str(), O_RDWR | O_CREAT, 0600));
             const transfer::TDownloaded end =
                 server->Download(picture, file.Get(), most, [](std::uint64_t) { return true; });
             EXPECT_EQ(end, most == 200u * 1024 ? transfer::TDownloaded::Whole : transfer::TDownloaded::TooLarge);
             EXPECT_LE(testsupport::ReadFileBytes(here.path() + "/a").size(), most);
         }
     }},
    // A page edited by hand and another program's page are left on the
    // server, named; a file no page names stays too.
    {"ForeignAndHandEditedPagesNamed",
     [](TScene& scene) {
         scene.PutOnServer("fremd.txt", "fremd");
         scene.PutOnServer("alt.html", "<html><body>von Hand</body></html>");
         scene.PutOnServer("seiten/verein.html", ReadFileBytes(scene.server + "/seiten/verein.html") + "<!-- -->");
         scene.PutOnServer("index.html", SitePage("Start", "bilder/a.jpg", {kPhoto, "<a href=\"alt.html\">"}));
         scene.site.erase("seiten/verein.html");
         scene.site["index.html"] = ReadFileBytes(scene.server + "/index.html");
     },
     [](TScene& scene, const transfer::TFetchResult& result) {
         EXPECT_EQ(result.pages, (std::vector<std::string>{"index.html", "fotos.html"}));
         ASSERT_EQ(result.notFetched.size(), 2u);
         EXPECT_EQ(result.notFetched[0].name, "alt.html");
         EXPECT_EQ(result.notFetched[1].name, "seiten/verein.html");
         for (const auto& stays : result.notFetched) EXPECT_EQ(stays.why, TWhy::NotOurPage);
         EXPECT_EQ(Tree(scene.here),
                   "bild.jpg\nbilder/\nbilder/a.jpg\nbilder/foto.jpg\nbilder/"
                   "gross.jpg\nfotos.html\nhintergrund.jpg\nindex.html\nseiten/\n");
     }},
    // Whatever the server's names say, nothing is written outside the
    // folder here, and no link on the server is followed.
    {"HostileNamesRefused",
     [](TScene& scene) {
         WriteFileBytes(scene.work.path() + "/x.jpg", "draußen");
         std::filesystem::create_directory_symlink("..", scene.server + "/raus");
         std::filesystem::create_symlink("/etc/hostname", scene.server + "/verweis.jpg");
         scene.PutOnServer(".versteckt.jpg", "v");
         scene.PutOnServer(
             "a\x01"
             "b.jpg",
             "c");
         const std::vector<std::string> hostile = {
             "../x.jpg", "raus/x.jpg", "a%01b.jpg", std::string(300, 'n') + ".jpg", ".versteckt.jpg", "verweis.jpg"};
         std::vector<std::string> text = {kPhoto};
         for (const std::string& name : hostile) text.push_back("<img src=\"" + name + "\">");
         scene.PutOnServer("index.html", SitePage("Start", "bilder/a.jpg", text));
         scene.site["index.html"] = ReadFileBytes(scene.server + "/index.html");
     },
     [](TScene& scene, const transfer::TFetchResult& result) {
         std::map<std::string, std::string> named;
         for (const auto& stays : result.notFetched) named[stays.name] = transfer::NotFetchedWords(stays);
         // FTP lists a link as what it leads to; the server refuses to give it.
         const std::string link = scene.ftps ? "(fehlt)" : "(Verknüpfung auf dem Server)";
         EXPECT_EQ(named, (std::map<std::string, std::string>{
                              {"../x.jpg", "(außerhalb des Ordners)"},
                              {"raus/x.jpg", link},
                              {"a\x01"
                               "b.jpg",
                               "(ungültiger Dateiname)"},
                              {std::string(300, 'n') + ".jpg", "(ungültiger Dateiname)"},
                              {".versteckt.jpg", "(versteckte Datei)"},
                              {"verweis.jpg", scene.ftps ? "(vom Server nicht herausgegeben)" : link}}));
         EXPECT_EQ(testsupport::DirectoryListing(scene.work.path()), "home/\nserver/\nx.jpg\nzweiter Rechner/\n");
         scene.ExpectTheSiteHere();
     }},
    // The line lost within a large picture: nothing under its name; fetched
    // again, the fetch goes on where it stopped (sshd serves on; the FTPS
    // server ends with its connection).
    {"CutInALargePictureGoesOnWhereItStopped",
     [](TScene& scene) {
         scene.progress.onSending = [&scene, cut = false](const std::string& file, std::uint64_t got,
                                                          std::uint64_t) mutable {
             if (file != "bilder/gross.jpg" || got < (1u << 20) || cut) return;
             cut = true;
             scene.Cut();
         };
     },
     [](TScene& scene, const transfer::TFetchResult& result) {
         ASSERT_TRUE(result.error);
         EXPECT_EQ(result.error->cause(), transfer::TCause::ConnectionCut) << result.error->what();
         EXPECT_EQ(Tree(scene.here),
                   ".tavirel-holen\nbild.jpg\nbilder/\nbilder/a.jpg\nbilder/foto.jpg\nfotos.html\nhintergrund.jpg\n"
                   "index.html\nseiten/\nseiten/verein.html\n");
         if (scene.ftps) return;
         scene.progress.onSending = nullptr;
         const transfer::TFetchResult again = scene.Fetch();
         EXPECT_TRUE(again.Whole()) << again.error->what();
         EXPECT_EQ(again.files.back(), "bilder/gross.jpg");
         scene.ExpectTheSiteHere();
     }},
};

class Fetch : public testing::TestWithParam<std::pair<const TFetchRow*, TServer>> {};

TEST_P(Fetch, FromTheServer) {
    const auto [row, kind] = GetParam();
    TScene scene(kind);
    if (row->before) row->before(scene);
    row->after(scene, scene.Fetch());
    // The password goes to the server only.
    publishtest::ExpectPasswordInNoFile(scene);
}

std::vector<std::pair<const TFetchRow*, TServer>> OnTheirServers() {
    std::vector<std::pair<const TFetchRow*, TServer>> runs;
    for (const TFetchRow& row : kRows)
        for (const TServer kind : row.servers) runs.emplace_back(&row, kind);
    return runs;
}

std::string RunName(const testing::TestParamInfo<std::pair<const TFetchRow*, TServer>>& info) {
    const char* const kServers[] = {"OpenSsh_", "Ftps_", "Rclone_", "WebDav_", "S3_"};
    return kServers[static_cast<int>(info.param.second)] + std::string(info.param.first->name);
}

INSTANTIATE_TEST_SUITE_P(Rows, Fetch, testing::ValuesIn(OnTheirServers()), RunName);

}  // namespace
