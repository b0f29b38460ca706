#include "wizard/picture_preview.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "core/folder_names.h"
#include "core/system_calls.h"
#include "pictures/picture_kind.h"
#include "pictures/picture_process.h"
#include "pictures/picture_words.h"
#include "ui/text_boundary.h"

namespace wizard {
namespace {

constexpr int kPreviewSide = 160;

struct TMade {
    QImage picture;
    QString text;
};

// What the preview shows of the file: read through one descriptor, which
// the picture process gets; a FIFO or a folder shows nothing.
TMade Make(const std::string& path) {
    const core::TOpenFile file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat status {};
    if (!file || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    char start[pictures::kKindBytes];
    const ssize_t got = core::RetryInterrupted([&] { return pread(file.Get(), start, sizeof start, 0); });
    const bool picture =
        got > 0 && pictures::PictureKindOf({start, static_cast<std::size_t>(got)}) != pictures::TPictureKind::None;
    const std::optional<pictures::TWebPicture> preview =
        picture ? pictures::PreviewApart(file.Get(), kPreviewSide) : std::nullopt;
    TMade made;
    made.text = ui::FromUtf8(
        pictures::PreviewLine(picture, preview ? &*preview : nullptr, static_cast<std::uint64_t>(status.st_size)));
    if (preview && preview->width > 0)
        made.picture = QImage(reinterpret_cast<const uchar*>(preview->bytes.data()), preview->width, preview->height,
                              preview->width * 4, QImage::Format_RGBA8888)
                           .copy();
    return made;
}

}  // namespace

// Shared with the thread, which outlives the preview when it is busy as the
// dialog closes.
struct TPicturePreview::TJobs {
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<std::string> wanted;
    bool ending = false;
    QPointer<TPicturePreview> preview;

    static void Work(const std::shared_ptr<TJobs>& jobs) { jobs->Loop(jobs); }

    void Loop(const std::shared_ptr<TJobs>& self) {
        for (;;) {
            std::string path;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [&] { return ending || wanted.has_value(); });
                if (ending) return;
                path = std::move(*wanted);
                wanted.reset();
            }
            TMade made = Make(path);
            // Shown only while it is still the file under the cursor.
            QMetaObject::invokeMethod(
                qApp,
                [shown = preview, path, made = std::move(made), jobs = self] {
                    if (shown == nullptr) return;
                    {
                        const std::lock_guard<std::mutex> lock(jobs->mutex);
                        if (jobs->wanted) return;
                    }
                    if (shown->property("file").toString().toStdString() != path) return;
                    shown->Picture->setPixmap(QPixmap::fromImage(made.picture));
                    shown->Text->setText(made.text);
                },
                Qt::QueuedConnection);
        }
    }
};

TPicturePreview::TPicturePreview(QWidget* parent) : QWidget(parent), jobs_(std::make_shared<TJobs>()) {
    setObjectName(QStringLiteral("PicturePreview"));
    setFixedWidth(kPreviewSide + 20);
    Picture = new QLabel(this);
    Picture->setObjectName(QStringLiteral("PreviewPicture"));
    Picture->setFixedSize(kPreviewSide, kPreviewSide);
    Picture->setAlignment(Qt::AlignCenter);
    Text = new QLabel(this);
    Text->setObjectName(QStringLiteral("PreviewText"));
    Text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Picture);
    layout->addWidget(Text);
    layout->addStretch();
    jobs_->preview = this;
    std::thread(&TJobs::Work, jobs_).detach();
}

TPicturePreview::~TPicturePreview() {
    const std::lock_guard<std::mutex> lock(jobs_->mutex);
    jobs_->ending = true;
    jobs_->wake.notify_one();
}

void TPicturePreview::Show(const QString& file) {
    setProperty("file", file);
    Picture->clear();
    Text->clear();
    if (file.isEmpty()) return;
    const std::lock_guard<std::mutex> lock(jobs_->mutex);
    jobs_->wanted = QFile::encodeName(file).toStdString();
    jobs_->wake.notify_one();
}

void AttachPreview(QFileDialog& dialog) {
    auto* preview = new TPicturePreview(&dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &TPicturePreview::Show);
}

}  // namespace wizard
