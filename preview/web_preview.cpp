// The preview engine plugin: the page drawn by Qt WebEngine in a window of
// its own. The page's bytes never touch the disk: a scheme of our own serves
// them at the page file's path, and every other name under that scheme is
// the file of that path, so that relative names resolve as they do for the
// written file in a browser.

#include <unistd.h>

#include <QBuffer>
#include <QDesktopServices>
#include <QFile>
#include <QMimeDatabase>
#include <QOpenGLContext>
#include <QPointF>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <QWidget>
#include <memory>

#include "preview/page_preview.h"

QT_BEGIN_NAMESPACE
// Exported by Qt GUI; its header is a private one.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

const QByteArray kScheme = QByteArrayLiteral("tavirel-preview");

QUrl SchemeUrl(const QString& filePath) {
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setPath(filePath);
    return url;
}

// What the desktop's browser gets for a link: the file the link names.
QUrl DesktopUrl(const QUrl& url) {
    return url.scheme() == QLatin1String(kScheme) ? QUrl::fromLocalFile(url.path(QUrl::FullyDecoded)) : url;
}

class TPreviewSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void SetPage(const QByteArray& page, const QString& filePath) {
        page_ = page;
        filePath_ = filePath;
    }

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const QString path = job->requestUrl().path(QUrl::FullyDecoded);
        if (path == filePath_) {
            // The charset the written page is read with.
            auto* bytes = new QBuffer(job);
            bytes->setData(page_);
            job->reply(QByteArrayLiteral("text/html;charset=windows-1252"), bytes);
            return;
        }
        auto* file = new QFile(path, job);
        if (!file->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        job->reply(mimeTypes_.mimeTypeForFile(path).name().toLatin1(), file);
    }

private:
    QByteArray page_;
    QString filePath_;
    QMimeDatabase mimeTypes_;
};

// A followed link opens in the desktop's browser; the preview keeps the page.
class TPreviewPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type != NavigationTypeLinkClicked || !isMainFrame) return true;
        QDesktopServices::openUrl(DesktopUrl(url));
        return false;
    }

    QWebEnginePage* createWindow(WebWindowType) override {
        // A link with a target window: its navigation comes to this page's
        // filter through a page that is dropped afterwards.
        auto* page = new TPreviewPage(profile(), this);
        connect(page, &QWebEnginePage::urlChanged, page, &QObject::deleteLater);
        return page;
    }
};

class TWebPreview : public QWidget, public IPagePreview {
public:
    TWebPreview() {
        // Constructed without a storage name, the profile is off the
        // record: no cache, cookies or storage on disk.
        profile_ = std::make_unique<QWebEngineProfile>();
        profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        profile_->installUrlSchemeHandler(kScheme, &pages_);

        view_ = new QWebEngineView(this);
        view_->setObjectName(QStringLiteral("PreviewView"));
        auto* page = new TPreviewPage(profile_.get(), view_);
        view_->setPage(page);
        auto* fill = new QVBoxLayout(this);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(view_);
        connect(page, &QWebEnginePage::loadFinished, this, [this](bool) { RestoreScroll(); });
    }

    ~TWebPreview() override {
        // The page goes before its profile.
        delete view_;
    }

    QWidget* Window() override { return this; }

    void ShowPage(const QByteArray& page, const QString& filePath) override {
        // While a load is under way the old document's position is what the
        // user left; the new one has none yet.
        if (!loading_) scroll_ = view_->page()->scrollPosition();
        loading_ = true;
        pages_.SetPage(page, filePath);
        view_->page()->load(SchemeUrl(filePath));
    }

private:
    void RestoreScroll() {
        loading_ = false;
        if (scroll_.isNull()) return;
        view_->page()->runJavaScript(QStringLiteral("window.scrollTo(%1, %2)").arg(scroll_.x()).arg(scroll_.y()));
    }

    std::unique_ptr<QWebEngineProfile> profile_;
    TPreviewSchemeHandler pages_;
    QWebEngineView* view_ = nullptr;
    QPointF scroll_;
    bool loading_ = false;
};

// The engine draws through an OpenGL context shared with the windows' ones
// and fails without it. Qt makes that context at start-up only when asked
// before the application exists, which would load the OpenGL driver into
// every start of the program; no window of the program uses OpenGL, so the
// context made now, on the first preview, serves as well. Where there is no
// OpenGL (Qt's offscreen display) the engine draws without it.
void ShareOpenGLContexts() {
    if (QOpenGLContext::globalShareContext() != nullptr) return;
    auto context = std::make_unique<QOpenGLContext>();
    if (context->create()) qt_gl_set_global_share_context(context.release());
}

class TWebPreviewEngine : public QObject, public IPagePreviewEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TAVIREL_PAGE_PREVIEW_ENGINE_IID)
    Q_INTERFACES(IPagePreviewEngine)
public:
    TWebPreviewEngine() {
        // Chromium's sandbox refuses to run as root; only there it goes.
        if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        // Registered before the engine starts. A path scheme resolves
        // "../bild.png" as file: does; local access lets the page reach
        // pictures named by file: URLs, as the written file can.
        QWebEngineUrlScheme scheme(kScheme);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
        QWebEngineUrlScheme::registerScheme(scheme);
        ShareOpenGLContexts();
    }

    std::unique_ptr<IPagePreview> CreatePreview() override { return std::make_unique<TWebPreview>(); }
};

}  // namespace

#include "web_preview.moc"
