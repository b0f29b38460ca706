// Publishing against a local sshd, each case beside its floor in the same
// run: a first publish of 100 pictures against OpenSSH's own `sftp -b`
// putting the same files, and a publish with nothing changed against
// connecting, logging in and listing the same folders.
#include <benchmark/benchmark.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/goal_table.h"
#include "bench/scratch_dir.h"
#include "support/files.h"
#include "support/sftp_servers.h"
#include "transfer/publish.h"
#include "transfer/sftp_server.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPictures = 100;
constexpr std::size_t kPictureBytes = 200 * 1024;

class TTrustAll : public transfer::IPublishQuestions {
public:
    bool TrustUnknownHost(const std::string&, const std::string&, const std::string&) override { return true; }
    std::optional<std::string> KeyPassphrase(const std::filesystem::path&) override { return std::nullopt; }
};

class TNoProgress : public transfer::IPublishProgress {
public:
    void Sending(const std::string&, std::uint64_t, std::uint64_t) override {}
};

std::string PictureName(int i) {
    const std::string number = std::to_string(1000 + i).substr(1);
    return "bilder/bild" + number + ".jpg";
}

// The page and its pictures, a HOME with the user's key and the server's
// host key known, and sshd; made once for every case.
struct TWorld {
    TWorld() : root(bench::ScratchDirectory() + "/publish") {
        std::filesystem::remove_all(root);
        home = root + "/home";
        page = root + "/page";
        server = root + "/server";
        testsupport::MakeDirectories(home + "/.ssh");
        testsupport::MakeDirectories(page + "/bilder");
        testsupport::MakeDirectories(server);
        setenv("HOME", home.c_str(), 1);
        unsetenv("SSH_AUTH_SOCK");
        std::string html = "<html><body>\r\n";
        for (int i = 0; i < kPictures; ++i) {
            std::string bytes(kPictureBytes, static_cast<char>(i));
            for (std::size_t j = 0; j < bytes.size(); j += 97) bytes[j] = static_cast<char>(j / 97);
            testsupport::WriteFileBytes(page + "/" + PictureName(i), bytes);
            html += "<img src=\"" + PictureName(i) + "\">\r\n";
        }
        testsupport::WriteFileBytes(page + "/index.html", html + "</body></html>\r\n");
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
        std::string batch = "cd " + server + "\nmkdir bilder\nput " + page + "/index.html index.html\n";
        for (int i = 0; i < kPictures; ++i) batch += "put " + page + "/" + PictureName(i) + " " + PictureName(i) + "\n";
        testsupport::WriteFileBytes(root + "/batch", batch);
    }
    ~TWorld() { std::filesystem::remove_all(root); }

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

TWorld& World() {
    static TWorld world;
    return world;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_PublishFirst(benchmark::State& state) {
    TWorld& world = World();
    for (auto _ : state) {
        world.EmptyServer();
        const Clock::time_point start = Clock::now();
        const transfer::TPublishResult result = world.Publish();
        state.SetIterationTime(Seconds(start));
        if (!result.error.empty() || result.sent.size() != world.plan.files.size())
            state.SkipWithError(result.error.c_str());
    }
}

void BM_SftpBatchPut(benchmark::State& state) {
    TWorld& world = World();
    const std::string command = "sftp -q -F /dev/null -b '" + world.root + "/batch' -P " +
                                std::to_string(world.sshd.port()) + " -i '" + world.key +
                                "' -o BatchMode=yes -o UserKnownHostsFile='" + world.home + "/.ssh/known_hosts' " +
                                world.login.user + "@127.0.0.1 >/dev/null";
    for (auto _ : state) {
        world.EmptyServer();
        const Clock::time_point start = Clock::now();
        const int status = std::system(command.c_str());
        state.SetIterationTime(Seconds(start));
        if (status != 0) state.SkipWithError("sftp -b failed");
    }
}

void BM_PublishAgain(benchmark::State& state) {
    TWorld& world = World();
    world.EmptyServer();
    world.Publish();
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const transfer::TPublishResult result = world.Publish();
        state.SetIterationTime(Seconds(start));
        if (!result.error.empty() || !result.sent.empty()) state.SkipWithError("something was sent again");
    }
}

void BM_ConnectAndList(benchmark::State& state) {
    TWorld& world = World();
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const std::unique_ptr<transfer::IRemoteServer> server =
            transfer::OpenSftpServer(world.login, world.trust, world.cancel);
        benchmark::DoNotOptimize(server->List(world.server));
        benchmark::DoNotOptimize(server->List(world.server + "/bilder"));
        state.SetIterationTime(Seconds(start));
    }
}

BENCHMARK(BM_PublishFirst)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SftpBatchPut)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublishAgain)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConnectAndList)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    using bench::TGoalRow;
    return bench::RunWithGoals(argc, argv,
                               {
                                   TGoalRow{"publish, 100 pictures of 200 KiB + page, to local sshd vs `sftp -b`",
                                            "BM_PublishFirst", "BM_SftpBatchPut", 1.5},
                                   TGoalRow{"publish again, nothing changed vs connecting, logging in, listing",
                                            "BM_PublishAgain", "BM_ConnectAndList", 1.5},
                               });
}
