#include "publishing/publish_controller.h"

#include <QCoreApplication>
#include <QPluginLoader>
#include <QScreen>
#include <QWidget>

#include "core/page_file.h"
#include "ui/error_display.h"
#include "wizard/wizard_window.h"

TPublishController::TPublishController()
    // Where the build and the package put the plugin beside the program.
    : pluginFile_(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/tavirel/") +
                  QStringLiteral(TAVIREL_PUBLISH_PLUGIN)) {}

// The window goes first: it waits for its transfer, which may still ask.
TPublishController::~TPublishController() {
    window_.reset();
}

void TPublishController::Attach(TForm3* wizard) {
    wizard_ = wizard;
}

void TPublishController::Open() {
    if (window_ == nullptr) {
        QPluginLoader loader(pluginFile_);
        auto* engine = qobject_cast<IPublishEngine*>(loader.instance());
        if (engine == nullptr)
            // The loader's reason names the file, in UTF-8.
            throw core::TPathFileError("Veröffentlichen kann nicht geladen werden: " +
                                       loader.errorString().toUtf8().toStdString());
        window_ = engine->CreateWindow();
        publishWindow_ = qobject_cast<IPublishWindow*>(window_.get());
        if (publishWindow_ == nullptr) {
            window_.reset();
            throw core::TPathFileError("Veröffentlichen kann nicht geladen werden: " +
                                       pluginFile_.toUtf8().toStdString() + " passt nicht zu diesem Programm");
        }
        connect(window_.get(), SIGNAL(PublishPressed()), this, SLOT(SettlePage()));
        PlaceOverWizard();
    }
    publishWindow_->SetPageFile(PageFile());
    window_->show();
    window_->raise();
    window_->activateWindow();
}

QString TPublishController::PageFile() const {
    return wizard_ == nullptr ? QString() : wizard_->CurrentPageFile();
}

void TPublishController::SettlePage() {
    ui::RunGuarded(window_.get(), [this] {
        const TPageAsWritten page = wizard_ == nullptr ? TPageAsWritten() : wizard_->PageAsWritten(window_.get());
        // A finish may have named the page anew.
        publishWindow_->SetPageFile(PageFile());
        publishWindow_->Send(page);
    });
}

void TPublishController::PlaceOverWizard() {
    if (wizard_ == nullptr || wizard_->screen() == nullptr) return;
    const QRect screen = wizard_->screen()->availableGeometry();
    QRect place(QPoint(), window_->frameGeometry().size());
    place.moveCenter(wizard_->frameGeometry().center());
    window_->move(std::clamp(place.left(), screen.left(), std::max(screen.left(), screen.right() - place.width())),
                  std::clamp(place.top(), screen.top(), std::max(screen.top(), screen.bottom() - place.height())));
}
