// Publishing over WebDAV (Apache's mod_dav_fs over TLS) and to object
// storage (s3rver over TLS), each beside its floor in the same run: a first
// publish of a site of 50 pages and 500 pictures against `rclone copy` of
// the same folder to the same server, and a publish with nothing changed
// against connecting and listing the site's folders once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "bench/goal_table.h"
#include "bench/scratch_dir.h"
#include "support/files.h"
#include "support/s3_store.h"
#include "support/server_process.h"
#include "support/webdav_servers.h"
#include "transfer/publish.h"
#include "transfer/s3_server.h"
#include "transfer/webdav_server.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPages = 50;
constexpr int kPicturesPerPage = 10;
constexpr std::size_t kPictureBytes = 50 * 1024;

class TTrustAll : public transfer::IPublishQuestions {
public:
    bool TrustUnknownHost(const std::string&, const std::string&, const std::string&) override { return true; }
    std::optional<std::string> KeyPassphrase(const std::filesystem::path&) override { return std::nullopt; }
    bool MaySendPictures(const pictures::TPicturesDone&, const std::vector<std::string>&) override { return true; }
};

class TNoProgress : public transfer::IPublishProgress {
public:
    void Sending(const std::string&, std::uint64_t, std::uint64_t) override {}
};

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The pages in a ring, each naming its ten pictures.
void WriteSite(const std::string& folder) {
    testsupport::MakeDirectories(folder + "/bilder");
    for (int p = 0; p < kPages; ++p) {
        const std::string name = p == 0 ? "index.html" : "seite" + std::to_string(p) + ".html";
        const std::string next = p + 1 == kPages ? "index.html" : "seite" + std::to_string(p + 1) + ".html";
        std::string html = "<html><body>\r\n<a href=\"" + next + "\">weiter</a>\r\n";
        for (int i = p * kPicturesPerPage; i < (p + 1) * kPicturesPerPage; ++i) {
            const std::string picture = "bilder/bild" + std::to_string(1000 + i) + ".jpg";
            std::string bytes(kPictureBytes, static_cast<char>(i));
            for (std::size_t j = 0; j < bytes.size(); j += 89) bytes[j] = static_cast<char>(j / 89);
            testsupport::WriteFileBytes(folder + "/" + picture, bytes);
            html += "<img src=\"" + picture + "\">\r\n";
        }
        testsupport::WriteFileBytes(folder + "/" + name, html + "</body></html>\r\n");
    }
}

// One way's world: the site, a HOME, the server and its login.
struct TWorld {
    explicit TWorld(const std::string& name) : root(bench::ScratchDirectory() + "/" + name) {
        std::filesystem::remove_all(root);
        home = root + "/home";
        page = root + "/page";
        testsupport::MakeDirectories(home);
        WriteSite(page);
        plan = transfer::PlanPublish(page + "/index.html");
        login.trustFolder = home + "/settings";
    }
    virtual ~TWorld() { std::filesystem::remove_all(root); }
    virtual void EmptyServer() = 0;
    virtual std::string RcloneCopy() const = 0;
    virtual std::unique_ptr<transfer::IRemoteServer> Open() = 0;

    // What the server and the disk still do after a publish or an emptying
    // (the files written back, the server's own tidying) is over before a
    // short case is timed: the unchanged publish and its floor, a listing,
    // take 50 to 150 ms each, and swung by a factor of three without this.
    static void Quiet() {
        sync();
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }

    transfer::TPublishResult Publish() {
        return transfer::Publish(plan, login, home + "/records", trust, progress, cancel);
    }

    std::string root, home, page;
    transfer::TServerLogin login;
    transfer::TPublishPlan plan;
    TTrustAll trust;
    TNoProgress progress;
    std::atomic<bool> cancel = false;
};

std::string Obscured(const std::string& password) {
    const std::string file = bench::ScratchDirectory() + "/obscured";
    std::system(("rclone obscure '" + password + "' > '" + file + "'").c_str());
    std::string text = testsupport::ReadFileBytes(file);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

struct TWebDavWorld : TWorld {
    TWebDavWorld() : TWorld("webdav"), apache("tavi", "geheim 123") {
        login.protocol = transfer::TProtocol::WebDav;
        login.address = apache.Address();
        login.user = "tavi";
        login.password = "geheim 123";
    }
    void EmptyServer() override {
        for (const auto& entry : std::filesystem::directory_iterator(apache.Folder()))
            std::filesystem::remove_all(entry.path());
        std::filesystem::remove_all(home + "/records");
    }
    std::string RcloneCopy() const override {
        return "rclone copy --config /dev/null --no-check-certificate '" + page + "' :webdav: --webdav-url '" +
               apache.Address() + "' --webdav-user tavi --webdav-pass '" + Obscured("geheim 123") + "'";
    }
    std::unique_ptr<transfer::IRemoteServer> Open() override {
        return transfer::OpenWebDavServer(login, trust, cancel);
    }
    testsupport::TApacheWebDavServer apache;
};

struct TS3World : TWorld {
    TS3World() : TWorld("s3") {
        login.protocol = transfer::TProtocol::S3;
        login.address = store.Endpoint();
        login.region = "eu-central-1";
        login.bucket = testsupport::TS3Store::kBucket;
        login.folder = "www";
        login.user = "S3RVER";
        login.password = "S3RVER";
    }
    void EmptyServer() override {
        std::filesystem::remove_all(store.Folder() + "/" + testsupport::TS3Store::kBucket + "/www");
        std::filesystem::remove_all(home + "/records");
    }
    std::string RcloneCopy() const override {
        // rclone refuses to start when AWS_CA_BUNDLE is set and certificates
        // are not checked, and some machines set it for every program.
        return "env -u AWS_CA_BUNDLE rclone copy --config /dev/null --no-check-certificate '" + page +
               "' :s3:seite/www --s3-provider Other --s3-endpoint " + store.Endpoint() +
               " --s3-access-key-id S3RVER --s3-secret-access-key S3RVER --s3-force-path-style=true --s3-region "
               "eu-central-1";
    }
    std::unique_ptr<transfer::IRemoteServer> Open() override { return transfer::OpenS3Server(login, trust, cancel); }
    testsupport::TS3Store store;
};

TWorld& World(const std::string& way) {
    if (way == "webdav") {
        static TWebDavWorld webdav;
        return webdav;
    }
    static TS3World s3;
    return s3;
}

void BM_PublishFirst(benchmark::State& state, const std::string& way) {
    TWorld& world = World(way);
    for (auto _ : state) {
        world.EmptyServer();
        const Clock::time_point start = Clock::now();
        const transfer::TPublishResult result = world.Publish();
        state.SetIterationTime(Seconds(start));
        if (result.error || result.sent.size() != world.plan.files.size())
            state.SkipWithError(result.error ? result.error->what() : "not everything was sent");
    }
}

void BM_RcloneCopy(benchmark::State& state, const std::string& way) {
    TWorld& world = World(way);
    const std::string command = world.RcloneCopy() + " >/dev/null 2>&1";
    for (auto _ : state) {
        world.EmptyServer();
        const Clock::time_point start = Clock::now();
        const int status = std::system(command.c_str());
        state.SetIterationTime(Seconds(start));
        if (status != 0) state.SkipWithError("rclone copy failed");
    }
}

void BM_PublishAgain(benchmark::State& state, const std::string& way) {
    TWorld& world = World(way);
    world.EmptyServer();
    world.Publish();
    TWorld::Quiet();
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const transfer::TPublishResult result = world.Publish();
        state.SetIterationTime(Seconds(start));
        if (result.error || !result.sent.empty()) state.SkipWithError("something was sent again");
    }
}

// Connecting, logging in and listing the site's two folders once.
void BM_ConnectAndList(benchmark::State& state, const std::string& way) {
    TWorld& world = World(way);
    const std::string top = world.login.folder.empty() ? "." : world.login.folder;
    TWorld::Quiet();
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const std::unique_ptr<transfer::IRemoteServer> server = world.Open();
        benchmark::DoNotOptimize(server->List(top));
        benchmark::DoNotOptimize(server->List(top == "." ? "bilder" : top + "/bilder"));
        state.SetIterationTime(Seconds(start));
    }
}

BENCHMARK_CAPTURE(BM_PublishFirst, webdav, "webdav")->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RcloneCopy, webdav, "webdav")->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PublishAgain, webdav, "webdav")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConnectAndList, webdav, "webdav")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PublishFirst, s3, "s3")->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RcloneCopy, s3, "s3")->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PublishAgain, s3, "s3")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConnectAndList, s3, "s3")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    using bench::TGoalRow;
    return bench::RunWithGoals(
        argc, argv,
        {
            TGoalRow{"publish a site of 50 pages and 500 pictures to the local WebDAV server vs `rclone copy` of "
                     "the same folder to it",
                     "BM_PublishFirst/webdav", "BM_RcloneCopy/webdav", 1.0},
            TGoalRow{"the same to object storage (s3rver)", "BM_PublishFirst/s3", "BM_RcloneCopy/s3", 1.0},
            TGoalRow{"WebDAV: publish again, nothing changed, vs one listing", "BM_PublishAgain/webdav",
                     "BM_ConnectAndList/webdav", 1.2},
            TGoalRow{"object storage: publish again, nothing changed, vs one listing", "BM_PublishAgain/s3",
                     "BM_ConnectAndList/s3", 1.2},
        });
}
