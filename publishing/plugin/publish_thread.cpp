#include "publishing/plugin/publish_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <chrono>
#include <exception>

#include "core/folder_names.h"

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// The transfer's questions and progress, carried to the window's thread.
class TPublishThread::TBridge : public transfer::IPublishQuestions, public transfer::IPublishProgress {
public:
    explicit TBridge(TPublishThread& run) : run_(run) {}

    bool TrustUnknownHost(const std::string& host, const std::string& keyType,
                          const std::string& fingerprint) override {
        bool trusted = false;
        QMetaObject::invokeMethod(
            &run_, [&] { trusted = run_.answers_.trustHost(FromUtf8(host), FromUtf8(keyType), FromUtf8(fingerprint)); },
            Qt::BlockingQueuedConnection);
        return trusted;
    }

    std::optional<std::string> KeyPassphrase(const std::filesystem::path& keyFile) override {
        std::optional<QString> passphrase;
        QMetaObject::invokeMethod(
            &run_, [&] { passphrase = run_.answers_.passphrase(FromUtf8(keyFile.string())); },
            Qt::BlockingQueuedConnection);
        if (!passphrase) return std::nullopt;
        return passphrase->toUtf8().toStdString();
    }

    bool MaySendPictures(const pictures::TPicturesDone& done, const std::vector<std::string>& notCleanable) override {
        bool send = false;
        QMetaObject::invokeMethod(
            &run_, [&] { send = run_.answers_.sendPictures(done, notCleanable); }, Qt::BlockingQueuedConnection);
        return send;
    }

    void Preparing(const std::string& file) override {
        const QString name = FromUtf8(core::PrintableName(file));
        QMetaObject::invokeMethod(
            &run_, [run = &run_, name] { run->reports_.preparing(name); }, Qt::QueuedConnection);
    }

    void Sending(const std::string& file, std::uint64_t sent, std::uint64_t size) override {
        // Shown after this bridge has gone, when the transfer is quick.
        const QString name = FromUtf8(core::PrintableName(file));
        QMetaObject::invokeMethod(
            &run_, [run = &run_, name, sent, size] { run->reports_.sending(name, sent, size); }, Qt::QueuedConnection);
    }

private:
    TPublishThread& run_;
};

TPublishThread::TPublishThread(TAnswers answers, TReports reports)
    : answers_(std::move(answers)), reports_(std::move(reports)) {}

TPublishThread::~TPublishThread() {
    if (!worker_.joinable()) return;
    cancel_ = true;
    // A question the transfer is waiting on is dropped with its event,
    // which lets the transfer go on, unanswered, to its end.
    while (!done_) {
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    worker_.join();
}

void TPublishThread::Start(const transfer::TPublishPlan& plan, const transfer::TServerLogin& login,
                           const std::filesystem::path& recordFolder, const std::string& address, int pictureSide) {
    cancel_ = false;
    done_ = false;
    worker_ = std::thread(&TPublishThread::Run, this, plan, login, recordFolder, address, pictureSide);
}

void TPublishThread::Run(transfer::TPublishPlan plan, transfer::TServerLogin login, std::filesystem::path recordFolder,
                         std::string address, int pictureSide) {
    transfer::TPublishResult result;
    TBridge bridge(*this);
    try {
        result = transfer::Publish(plan, login, recordFolder, bridge, bridge, cancel_, pictureSide);
    } catch (const std::exception& error) {
        // Nothing may leave a thread; the window shows it as any failure.
        result.error =
            transfer::TTransferError(transfer::TFault::PublishFailed, {}, transfer::TCause::None, error.what());
    }
    if (!result.error && !result.cancelled && !address.empty() && !plan.files.empty()) Check(plan, address);
    Report([this, result = std::move(result)] { reports_.finished(result); });
}

void TPublishThread::StartFetch(const transfer::TFetchOrder& order, const transfer::TServerLogin& login,
                                const std::filesystem::path& recordFolder) {
    cancel_ = false;
    done_ = false;
    worker_ = std::thread(&TPublishThread::RunFetch, this, order, login, recordFolder);
}

void TPublishThread::RunFetch(transfer::TFetchOrder order, transfer::TServerLogin login,
                              std::filesystem::path recordFolder) {
    transfer::TFetchResult result;
    TBridge bridge(*this);
    try {
        result = transfer::Fetch(order, login, recordFolder, bridge, bridge, cancel_);
    } catch (const std::exception& error) {
        result.error =
            transfer::TTransferError(transfer::TFault::FetchFailed, {}, transfer::TCause::None, error.what());
    }
    Report([this, result = std::move(result)] { reports_.fetched(result); });
}

void TPublishThread::Report(std::function<void()> report) {
    // Queued behind the progress reports, so that the window sees them first.
    QMetaObject::invokeMethod(
        this,
        [this, report = std::move(report)] {
            worker_.join();
            report();
        },
        Qt::QueuedConnection);
    done_ = true;
}

// The page file is the plan's first; what a visitor gets is compared with it.
void TPublishThread::Check(const transfer::TPublishPlan& plan, const std::string& address) {
    QMetaObject::invokeMethod(
        this, [this] { reports_.checked(std::nullopt); }, Qt::QueuedConnection);
    const transfer::TOnlineCheck check = transfer::CheckOnline(address, plan.folder / plan.files.front(), &cancel_);
    QMetaObject::invokeMethod(
        this, [this, check] { reports_.checked(check); }, Qt::QueuedConnection);
}
