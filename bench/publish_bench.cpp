// Publishing against a local sshd, each case beside its floor in the same
// run: a first publish of 100 pictures against OpenSSH's own `sftp -b`
// putting the same files, and a publish with nothing changed, of one page
// and of a site of 50 linked pages, against connecting, logging in and
// listing the same folders; fetching such a site back against `sftp`
// getting the whole folder. And pictures: a 12-megapixel photo scaled by
// the picture process against libvips' vipsthumbnail, and 20 such photos
// published, their bytes on the server against the originals.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/goal_table.h"
#include "bench/scratch_dir.h"
#include "core/page_generator.h"
#include "pictures/picture_process.h"
#include "support/files.h"
#include "support/sftp_servers.h"
#include "transfer/fetch.h"
#include "transfer/publish.h"
#include "transfer/sftp_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a world holds: its pages, each linking to the next (the last back to
// the first), and the pictures each page names.
struct TSiteSize {
    const char* name;
    int pages;
    int picturesPerPage;
    std::size_t pictureBytes;
    // Pages the program wrote, as a fetch takes them back.
    bool written = false;
};
constexpr TSiteSize kPage{"publish", 1, 100, 200 * 1024};
constexpr TSiteSize kSite{"site", 50, 10, 50 * 1024};
constexpr TSiteSize kWrittenSite{"fetch", 50, 10, 50 * 1024, true};
// No size: each picture is the 12-megapixel photo.
constexpr TSiteSize kPhotos{"photos", 1, 20, 0};

// A 12-megapixel photo as a phone takes it (4,000 × 3,000, quality 92,
// with grain), made once by ImageMagick.
const std::string& Photo() {
    static const std::string path = [] {
        const std::string folder = bench::ScratchDirectory() + "/foto";
        testsupport::MakeDirectories(folder);
        const std::string file = folder + "/foto.jpg";
        if (std::system(("convert -size 2000x1500 -seed 7 plasma:fractal -resize 4000x3000! -attenuate 0.08 "
                         "+noise Gaussian -quality 92 '" +
                         file + "'")
                            .c_str()) != 0)
            return std::string();
        return file;
    }();
    return path;
}

// A program run with `input` as its input and its output dropped: its time
// and its peak memory (KiB), or nothing when it failed.
struct TChildRun {
    double seconds = 0;
    long peakKib = 0;
};

std::optional<TChildRun> RunChild(const std::vector<std::string>& command, const std::string& input) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> arguments;
    for (const std::string& argument : command) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int failed = posix_spawnp(&child, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return TChildRun{std::chrono::duration<double>(Clock::now() - start).count(), usage.ru_maxrss};
}

class TTrustAll : public transfer::IPublishQuestions {
public:
    bool TrustUnknownHost(const std::string&, const std::string&, const std::string&) override { return true; }
    std::optional<std::string> KeyPassphrase(const std::filesystem::path&) override { return std::nullopt; }
    bool MaySendPictures(const pictures::TPicturesDone&, const std::vector<std::string>&) override { return true; }
};

class TNoProgress : public transfer::IPublishProgress {
public:
    void Sending(const std::string&, std::uint64_t, std::uint64_t) override {}
    void Preparing(const std::string&) override { ++rebuilt; }
    int rebuilt = 0;
};

std::string PictureName(int i) {
    const std::string number = std::to_string(1000 + i).substr(1);
    return "bilder/bild" + number + ".jpg";
}

std::string PageName(int i) {
    return i == 0 ? "index.html" : "seite" + std::to_string(i) + ".html";
}

// The pages and their pictures, a HOME with the user's key and the server's
// host key known, and sshd; made once for every case.
struct TWorld {
    explicit TWorld(const TSiteSize& size) : root(bench::ScratchDirectory() + "/" + size.name) {
        std::filesystem::remove_all(root);
        home = root + "/home";
        page = root + "/page";
        server = root + "/server";
        testsupport::MakeDirectories(home + "/.ssh");
        testsupport::MakeDirectories(page + "/bilder");
        testsupport::MakeDirectories(server);
        setenv("HOME", home.c_str(), 1);
        unsetenv("SSH_AUTH_SOCK");
        std::string batch = "cd " + server + "\nmkdir bilder\n";
        for (int p = 0; p < size.pages; ++p) {
            std::string html = "<html><body>\r\n";
            core::TPageDescription written;
            written.HeadingImage.clear();
            written.BackgroundIsImage = false;
            if (size.pages > 1) {
                html += "<a href=\"" + PageName((p + 1) % size.pages) + "\">weiter</a>\r\n";
                written.Links.push_back({"weiter", PageName((p + 1) % size.pages)});
            }
            for (int i = p * size.picturesPerPage; i < (p + 1) * size.picturesPerPage; ++i) {
                std::string bytes(size.pictureBytes, static_cast<char>(i));
                for (std::size_t j = 0; j < bytes.size(); j += 97) bytes[j] = static_cast<char>(j / 97);
                testsupport::WriteFileBytes(page + "/" + PictureName(i),
                                            size.pictureBytes == 0 ? testsupport::ReadFileBytes(Photo()) : bytes);
                html += "<img src=\"" + PictureName(i) + "\">\r\n";
                written.Images.push_back({PictureName(i), ""});
                batch += "put " + page + "/" + PictureName(i) + " " + PictureName(i) + "\n";
            }
            html += "</body></html>\r\n";
            if (size.written) html = std::string(core::GeneratePage(written).FileBytes());
            testsupport::WriteFileBytes(page + "/" + PageName(p), html);
            batch += "put " + page + "/" + PageName(p) + " " + PageName(p) + "\n";
        }
        key = home + "/.ssh/id_ed25519";
        for (const std::string suffix : {"", ".pub"})
            testsupport::WriteFileBytes(key + suffix,
                                        testsupport::ReadFileBytes(sshd.keyFolder() + "/id_ed25519" + suffix));
        std::filesystem::permissions(key, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        testsupport::WriteFileBytes(home + "/.ssh/known_hosts",
                                    "[127.0.0.1]:" + std::to_string(sshd.port()) + " " + sshd.HostKeyLine());
        login.host = "127.0.0.1";
        login.port = sshd.port();
        login.user = getpwuid(getuid())->pw_name;
        login.folder = server;
        plan = transfer::PlanPublish(page + "/index.html");
        testsupport::WriteFileBytes(root + "/batch", batch);
        testsupport::WriteFileBytes(root + "/get", "get -r " + server + " " + Here() + "\n");
    }

    // Where a fetch puts the site.
    std::string Here() const { return root + "/hier"; }
    ~TWorld() { std::filesystem::remove_all(root); }

    // The key and known host the login reads are this world's.
    TWorld& AtHome() {
        setenv("HOME", home.c_str(), 1);
        return *this;
    }

    void EmptyServer() const {
        std::filesystem::remove_all(server);
        std::filesystem::remove_all(home + "/records");
        testsupport::MakeDirectories(server);
    }

    transfer::TPublishResult Publish() {
        return transfer::Publish(plan, login, home + "/records", trust, progress, cancel);
    }

    std::string root, home, page, server, key;
    testsupport::TSshServer sshd;
    transfer::TServerLogin login;
    transfer::TPublishPlan plan;
    TTrustAll trust;
    TNoProgress progress;
    std::atomic<bool> cancel = false;
};

TWorld& World(const TSiteSize& size = kPage) {
    if (&size == &kSite) {
        static TWorld site(kSite);
        return site.AtHome();
    }
    if (&size == &kWrittenSite) {
        static TWorld written(kWrittenSite);
        return written.AtHome();
    }
    if (&size == &kPhotos) {
        static TWorld photos(kPhotos);
        return photos.AtHome();
    }
    static TWorld page(kPage);
    return page.AtHome();
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// One publish to an empty server, timed; false when not everything went.
bool PublishAnew(TWorld& world, benchmark::State& state) {
    world.EmptyServer();
    const Clock::time_point start = Clock::now();
    const transfer::TPublishResult result = world.Publish();
    state.SetIterationTime(Seconds(start));
    if (!result.error && result.sent.size() == world.plan.files.size()) return true;
    state.SkipWithError(result.error ? result.error->what() : "not everything was sent");
    return false;
}

void BM_PublishFirst(benchmark::State& state) {
    TWorld& world = World();
    for (auto _ : state)
        if (!PublishAnew(world, state)) return;
}

// OpenSSH's sftp running the commands of the world's file `batch`.
std::string SftpCommand(const TWorld& world, const std::string& batch) {
    return "sftp -q -F /dev/null -b '" + world.root + "/" + batch + "' -P " + std::to_string(world.sshd.port()) +
           " -i '" + world.key + "' -o BatchMode=yes -o UserKnownHostsFile='" + world.home + "/.ssh/known_hosts' " +
           world.login.user + "@127.0.0.1 >/dev/null";
}

void BM_SftpBatchPut(benchmark::State& state) {
    TWorld& world = World();
    const std::string command = SftpCommand(world, "batch");
    for (auto _ : state) {
        world.EmptyServer();
        const Clock::time_point start = Clock::now();
        const int status = std::system(command.c_str());
        state.SetIterationTime(Seconds(start));
        if (status != 0) state.SkipWithError("sftp -b failed");
    }
}

// `planned`: the plan made within the time too, as "Veröffentlichen" makes
// it, reading the site's pages and judging every name once more.
void BM_PublishAgain(benchmark::State& state, const TSiteSize& size, bool planned) {
    TWorld& world = World(size);
    world.EmptyServer();
    world.Publish();
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        world.plan = transfer::PlanPublish(world.page + "/index.html");
        if (!planned) start = Clock::now();
        world.progress.rebuilt = 0;
        const transfer::TPublishResult result = world.Publish();
        state.SetIterationTime(Seconds(start));
        if (result.error || !result.sent.empty()) state.SkipWithError("something was sent again");
        if (world.progress.rebuilt != 0) state.SkipWithError("a picture was rebuilt again");
    }
}

void BM_ConnectAndList(benchmark::State& state, const TSiteSize& size) {
    TWorld& world = World(size);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const std::unique_ptr<transfer::IRemoteServer> server =
            transfer::OpenSftpServer(world.login, world.trust, world.cancel);
        benchmark::DoNotOptimize(server->List(world.server));
        benchmark::DoNotOptimize(server->List(world.server + "/bilder"));
        state.SetIterationTime(Seconds(start));
    }
}

// Into a new folder, and no record of what was sent: as on a second
// computer.
void BM_FetchSite(benchmark::State& state) {
    TWorld& world = World(kWrittenSite);
    world.EmptyServer();
    world.Publish();
    transfer::TFetchOrder order;
    order.folder = world.Here();
    for (auto _ : state) {
        std::filesystem::remove_all(order.folder);
        std::filesystem::remove_all(world.home + "/records");
        const Clock::time_point start = Clock::now();
        const transfer::TFetchResult result =
            transfer::Fetch(order, world.login, world.home + "/records", world.trust, world.progress, world.cancel);
        state.SetIterationTime(Seconds(start));
        if (!result.Whole() || result.pages.size() + result.files.size() != world.plan.files.size())
            state.SkipWithError(result.error ? result.error->what() : "not everything came");
    }
}

void BM_SftpGetFolder(benchmark::State& state) {
    TWorld& world = World(kWrittenSite);
    world.EmptyServer();
    world.Publish();
    const std::string command = SftpCommand(world, "get");
    for (auto _ : state) {
        std::filesystem::remove_all(world.Here());
        const Clock::time_point start = Clock::now();
        const int status = std::system(command.c_str());
        state.SetIterationTime(Seconds(start));
        if (status != 0) state.SkipWithError("sftp get -r failed");
    }
}

// The photo scaled to 1,600 pixels at quality 82 by the picture process,
// its start, sandbox and report included, and by vipsthumbnail.
void BM_ScalePhoto(benchmark::State& state) {
    for (auto _ : state) {
        const std::optional<TChildRun> run = RunChild({pictures::PictureProgram().string(), "1600"}, Photo());
        if (!run) return state.SkipWithError("the picture process failed");
        state.SetIterationTime(run->seconds);
        state.counters[bench::kPeakMemoryCounter] = static_cast<double>(run->peakKib);
    }
}

void BM_Vipsthumbnail(benchmark::State& state) {
    const std::string out = bench::ScratchDirectory() + "/foto/vips.jpg[Q=82]";
    for (auto _ : state) {
        const std::optional<TChildRun> run = RunChild({"vipsthumbnail", Photo(), "-s", "1600", "-o", out}, "/dev/null");
        if (!run) return state.SkipWithError("vipsthumbnail failed (libvips-tools)");
        state.SetIterationTime(run->seconds);
        state.counters[bench::kPeakMemoryCounter] = static_cast<double>(run->peakKib);
    }
}

std::uint64_t BytesBelow(const std::string& folder) {
    std::uint64_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".jpg") bytes += entry.file_size();
    return bytes;
}

// The 20 photos' bytes on the server after a first publish, and here.
void BM_PublishPhotos(benchmark::State& state) {
    TWorld& world = World(kPhotos);
    for (auto _ : state) {
        if (!PublishAnew(world, state)) return;
        state.counters[bench::kBytesCounter] = static_cast<double>(BytesBelow(world.server));
    }
}

void BM_PhotoOriginals(benchmark::State& state) {
    TWorld& world = World(kPhotos);
    for (auto _ : state) state.counters[bench::kBytesCounter] = static_cast<double>(BytesBelow(world.page));
}

BENCHMARK(BM_ScalePhoto)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vipsthumbnail)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublishPhotos)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhotoOriginals)->Iterations(1);
BENCHMARK_CAPTURE(BM_PublishAgain, photos, kPhotos, false)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConnectAndList, photos, kPhotos)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublishFirst)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SftpBatchPut)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PublishAgain, page, kPage, false)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConnectAndList, page, kPage)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PublishAgain, site, kSite, false)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PublishAgain, site_planned, kSite, true)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConnectAndList, site, kSite)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchSite)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SftpGetFolder)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    using bench::TGoalRow;
    return bench::RunWithGoals(
        argc, argv,
        {
            TGoalRow{"publish, 100 pictures of 200 KiB + page, to local sshd vs `sftp -b`", "BM_PublishFirst",
                     "BM_SftpBatchPut", 1.5},
            TGoalRow{"publish again, nothing changed vs connecting, logging in, listing", "BM_PublishAgain/page",
                     "BM_ConnectAndList/page", 1.5},
            TGoalRow{"publish a site of 50 pages and 500 pictures of 50 KiB, nothing changed, "
                     "vs connecting, logging in and listing the same folders",
                     "BM_PublishAgain/site", "BM_ConnectAndList/site", 1.2},
            TGoalRow{"the same, its plan made too (reading the 50 pages, judging each name)",
                     "BM_PublishAgain/site_planned", "BM_ConnectAndList/site", 0},
            TGoalRow{"scale a 12-megapixel JPEG to 1,600 px, quality 82, vs `vipsthumbnail` "
                     "on the same file: time",
                     "BM_ScalePhoto", "BM_Vipsthumbnail", 1.3},
            TGoalRow{"the same: peak memory", "BM_ScalePhoto", "BM_Vipsthumbnail", 1.5, bench::TQuantity::Memory},
            TGoalRow{"first publish of 20 photos of 12 MP to the local sshd: bytes on the "
                     "server vs the originals",
                     "BM_PublishPhotos", "BM_PhotoOriginals", 0.08, bench::TQuantity::Bytes},
            TGoalRow{"publish the 20 photos again, nothing changed (no picture decoded) vs "
                     "connecting, logging in, listing",
                     "BM_PublishAgain/photos", "BM_ConnectAndList/photos", 1.5},
            TGoalRow{"fetch a site of 50 pages and 500 pictures of 50 KiB from the local sshd vs OpenSSH's "
                     "`sftp -r` get of the same folder",
                     "BM_FetchSite", "BM_SftpGetFolder", 1.2},
        });
}
