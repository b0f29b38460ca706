#include "browser/chromium_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <cerrno>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace browsertest {
namespace {

// Chromium answers within seconds; this only keeps a stuck browser from
// hanging the test run.
constexpr int kAnswerTimeoutMs = 60000;

// A pipe whose ends sit above the descriptors the browser is handed, so that
// moving them to 3 and 4 never overwrites one with the other.
void HighPipe(int ends[2]) {
    int raw[2];
    if (pipe2(raw, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the browser");
    for (int i = 0; i < 2; ++i) {
        ends[i] = fcntl(raw[i], F_DUPFD_CLOEXEC, 10);
        close(raw[i]);
    }
    if (ends[0] < 0 || ends[1] < 0) throw std::runtime_error("no pipe for the browser");
}

}  // namespace

TChromiumSession::TChromiumSession() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (program.isEmpty())
        throw std::runtime_error("chromium is not installed (./scripts/test installs the Debian package chromium)");
    // A browser that dies must end in a message, not end the test program.
    signal(SIGPIPE, SIG_IGN);

    int commands[2];
    int answers[2];
    HighPipe(commands);
    HighPipe(answers);
    // The browser reads commands on descriptor 3 and answers on 4; what it
    // says besides goes to a log, shown when something fails.
    const QByteArray log = QByteArray::fromStdString(profile_.path() + "/chromium.log");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, commands[0], 3);
    posix_spawn_file_actions_adddup2(&actions, answers[1], 4);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    const std::vector<std::string> arguments = {
        QFile::encodeName(program).toStdString(),
        "--headless",
        // Run as root, Chromium refuses its sandbox.
        "--no-sandbox",
        "--disable-gpu",
        "--no-first-run",
        "--remote-debugging-pipe",
        "--user-data-dir=" + profile_.path(),
        "about:blank",
    };
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(commands[0]);
    close(answers[1]);
    toBrowser_ = commands[1];
    fromBrowser_ = answers[0];
    if (spawned != 0) {
        pid_ = -1;
        Fail("cannot start " + program.toStdString());
    }

    const QString targetId =
        Call(QStringLiteral("Target.createTarget"), {{"url", "about:blank"}})[QStringLiteral("targetId")].toString();
    sessionId_ = Call(QStringLiteral("Target.attachToTarget"),
                      {{"targetId", targetId}, {"flatten", true}})[QStringLiteral("sessionId")]
                     .toString();
    Call(QStringLiteral("Page.enable"));
}

TChromiumSession::~TChromiumSession() {
    if (pid_ > 0) {
        try {
            sessionId_.clear();
            Call(QStringLiteral("Browser.close"));
        } catch (...) {
            kill(pid_, SIGKILL);
        }
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (toBrowser_ >= 0) close(toBrowser_);
    if (fromBrowser_ >= 0) close(fromBrowser_);
}

QJsonValue TChromiumSession::Evaluate(const QUrl& url, const QString& expression) {
    const QJsonObject navigated = Call(QStringLiteral("Page.navigate"), {{"url", url.toString(QUrl::FullyEncoded)}});
    if (navigated.contains(QStringLiteral("errorText")))
        Fail("cannot load " + url.toString().toStdString() + ": " + navigated["errorText"].toString().toStdString());
    WaitFor([](const QJsonObject& message) { return message["method"] == QStringLiteral("Page.loadEventFired"); });
    const QJsonObject evaluated =
        Call(QStringLiteral("Runtime.evaluate"), {{"expression", expression}, {"returnByValue", true}});
    if (evaluated.contains(QStringLiteral("exceptionDetails")))
        Fail("script failed: " + QJsonDocument(evaluated["exceptionDetails"].toObject()).toJson().toStdString());
    return evaluated[QStringLiteral("result")].toObject()[QStringLiteral("value")];
}

void TChromiumSession::EmulatePhone(int width, int height) {
    Call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 2}, {"mobile", true}});
    Call(QStringLiteral("Emulation.setTouchEmulationEnabled"), {{"enabled", true}});
}

QJsonArray TChromiumSession::AccessibilityNodes() {
    return Call(QStringLiteral("Accessibility.getFullAXTree"))[QStringLiteral("nodes")].toArray();
}

QJsonObject TChromiumSession::Call(const QString& method, const QJsonObject& params) {
    const int id = ++lastId_;
    QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId_.isEmpty()) message[QStringLiteral("sessionId")] = sessionId_;
    Send(message);
    const QJsonObject answer = WaitFor([id](const QJsonObject& m) { return m["id"].toInt() == id; });
    if (answer.contains(QStringLiteral("error")))
        Fail(method.toStdString() + ": " + QJsonDocument(answer["error"].toObject()).toJson().toStdString());
    return answer[QStringLiteral("result")].toObject();
}

// Events that nobody waits for are passed over.
QJsonObject TChromiumSession::WaitFor(const std::function<bool(const QJsonObject&)>& wanted) {
    for (;;) {
        const QJsonObject message = Receive();
        if (wanted(message)) return message;
    }
}

void TChromiumSession::Send(const QJsonObject& message) {
    const QByteArray bytes = QJsonDocument(message).toJson(QJsonDocument::Compact) + '\0';
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = write(toBrowser_, bytes.constData() + sent, static_cast<std::size_t>(bytes.size() - sent));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("the browser stopped listening");
        sent += n;
    }
}

// Messages on the pipe are JSON texts, each ended by a NUL byte.
QJsonObject TChromiumSession::Receive() {
    for (;;) {
        const qsizetype end = received_.indexOf('\0');
        if (end >= 0) {
            const QJsonObject message = QJsonDocument::fromJson(received_.left(end)).object();
            received_.remove(0, end + 1);
            return message;
        }
        pollfd ready{fromBrowser_, POLLIN, 0};
        const int polled = poll(&ready, 1, kAnswerTimeoutMs);
        if (polled < 0 && errno == EINTR) continue;
        if (polled == 0) Fail("the browser did not answer");
        char chunk[65536];
        const ssize_t n = read(fromBrowser_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("the browser ended");
        received_.append(chunk, n);
    }
}

void TChromiumSession::Fail(const std::string& what) {
    QFile log(QFile::decodeName(QByteArray::fromStdString(profile_.path() + "/chromium.log")));
    const QByteArray said = log.open(QIODevice::ReadOnly) ? log.readAll().right(2000) : QByteArray();
    throw std::runtime_error("chromium: " + what + "\n" + said.toStdString());
}

}  // namespace browsertest
