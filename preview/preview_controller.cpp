#include "preview/preview_controller.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QScreen>
#include <QWidget>
#include <stdexcept>

#include "core/page_generator.h"
#include "ui/error_display.h"
#include "ui/web_browser.h"
#include "wizard/wizard_window.h"

namespace {

// Long enough that typing does not draw the page for every key, short
// enough that the page follows the typing.
constexpr int kPauseMs = 150;
constexpr QSize kFirstSize(800, 600);

}  // namespace

TPagePreviewController::TPagePreviewController()
    // Where the build and the package put the plugin beside the program.
    : pluginFile_(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/tavirel/") +
                  QStringLiteral(TAVIREL_PREVIEW_PLUGIN)) {
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &TPagePreviewController::Update);
}

// The plugin stays loaded: the engine cannot start twice in one process.
TPagePreviewController::~TPagePreviewController() = default;

void TPagePreviewController::Attach(TForm3* wizard) {
    if (wizard_ != nullptr) {
        wizard_->removeEventFilter(this);
        disconnect(changes_);
    }
    wizard_ = wizard;
    watchedWizard_ = wizard;
    wizard_->installEventFilter(this);
    changes_ = connect(wizard_, &TForm3::PageChanged, this, &TPagePreviewController::WizardChanged);
    if (preview_ != nullptr && preview_->Window()->isVisible()) Update();
}

void TPagePreviewController::Open() {
    if (preview_ == nullptr) {
        QPluginLoader loader(pluginFile_);
        auto* engine = qobject_cast<IPagePreviewEngine*>(loader.instance());
        if (engine == nullptr)
            throw std::runtime_error("Die Vorschau braucht Qt WebEngine (Paket libqt6webenginewidgets6)");
        preview_ = engine->CreatePreview();
        preview_->OnLinkFollowed([this](const QUrl& url) { LinkFollowed(url); });
        preview_->Window()->setObjectName(QStringLiteral("PreviewWindow"));
        preview_->Window()->resize(kFirstSize);
        PlaceBesideWizard();
    }
    QWidget* window = preview_->Window();
    if (!window->isVisible()) Update();
    window->show();
    window->raise();
    window->activateWindow();
}

QWidget* TPagePreviewController::Window() const {
    return preview_ == nullptr ? nullptr : preview_->Window();
}

bool TPagePreviewController::eventFilter(QObject* watched, QEvent* event) {
    // A spontaneous hide is the window system's (minimizing); closing the
    // wizard hides it.
    // Compared as a QObject: while the wizard is being destroyed it is no
    // longer a TForm3.
    if (watched == watchedWizard_ && event->type() == QEvent::Hide && !event->spontaneous() && preview_ != nullptr)
        preview_->Window()->close();
    return QObject::eventFilter(watched, event);
}

void TPagePreviewController::WizardChanged() {
    if (preview_ == nullptr || !preview_->Window()->isVisible()) return;
    preview_->Window()->setWindowTitle(QStringLiteral("Vorschau – ") + wizard_->PageFilePath());
    pause_.start();
}

void TPagePreviewController::LinkFollowed(const QUrl& url) {
    // As "Im Browser ansehen" opens the page: never with this program, which
    // the desktop may offer for HTML files.
    ui::RunGuarded(preview_->Window(), [&url] {
        if (!ui::OpenInWebBrowser(url)) throw std::runtime_error("Kein Webbrowser gefunden");
    });
}

void TPagePreviewController::Update() {
    pause_.stop();
    if (wizard_ == nullptr || preview_ == nullptr) return;
    const core::TLineList lines = core::GeneratePage(wizard_->DescribePage());
    const std::string_view bytes = lines.FileBytes();
    const QString path = wizard_->PageFilePath();
    preview_->Window()->setWindowTitle(QStringLiteral("Vorschau – ") + path);
    preview_->ShowPage(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                       QDir(wizard_->PageFolder()).filePath(QFileInfo(path).fileName()));
}

void TPagePreviewController::PlaceBesideWizard() {
    QWidget* window = preview_->Window();
    if (wizard_ == nullptr || wizard_->screen() == nullptr) return;
    const QRect screen = wizard_->screen()->availableGeometry();
    const QRect beside = wizard_->frameGeometry();
    const int width = window->width();
    // Right of the wizard, else left of it, else on the side with more room.
    const int roomRight = screen.right() - beside.right();
    const int roomLeft = beside.left() - screen.left();
    int x = beside.right() + 1;
    if (roomRight < width && (roomLeft >= width || roomLeft > roomRight)) x = beside.left() - width;
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() - width));
    const int y = std::clamp(beside.top(), screen.top(), std::max(screen.top(), screen.bottom() - window->height()));
    window->move(x, y);
}
