// The preview engine plugin: the page drawn by Qt WebEngine in a window of
// its own. The page's bytes never touch the disk: a scheme of our own serves
// them at the page file's path, and every other name under that scheme is
// the file of that path, so that relative names resolve as they do for the
// written file in a browser.
//
// The preview is no more open than a browser showing the written file: the
// page's scripts do not run (the engine of this Qt cannot keep them from
// reading the files the page names, see ScriptsOff below), nothing but the
// user's click opens anything, and only regular files are served.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QOpenGLContext>
#include <QPointF>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <QWidget>
#include <cerrno>
#include <functional>
#include <memory>
#include <string_view>

#include "preview/engine_sandbox.h"
#include "preview/page_preview.h"
#include "preview/phone_view.h"
#include "preview/view_choice.h"
#include "preview/viewport_declaration.h"
#include "ui/error_display.h"

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

// What the desktop's browser gets for a link: the file the link names, at
// the place in it the link names.
QUrl DesktopUrl(const QUrl& url) {
    if (url.scheme() != QLatin1String(kScheme)) return url;
    QUrl file = QUrl::fromLocalFile(url.path(QUrl::FullyDecoded));
    file.setFragment(url.fragment(QUrl::FullyEncoded), QUrl::TolerantMode);
    return file;
}

// Whether the URL names this file of our scheme, whatever the engine
// encoded on the way.
bool NamesFile(const QUrl& url, const QUrl& file) {
    return url.scheme() == file.scheme() && !url.hasQuery() &&
           url.path(QUrl::FullyDecoded) == file.path(QUrl::FullyDecoded);
}

// The file at this path, opened without waiting and only when it is a
// regular file; nullptr otherwise. A named pipe would wait for a writer on
// the windows' thread and freeze the program, a device such as /dev/zero
// never ends: both are "not found", as are sockets and folders. The test is
// made on the open file, so that nothing is swapped in between.
QFile* OpenRegularFile(const QString& path, QObject* owner) {
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return nullptr;
    }
    auto* file = new QFile(owner);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        delete file;
        return nullptr;
    }
    return file;
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
        QFile* file = OpenRegularFile(path, job);
        if (file == nullptr) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        // A name that does not tell its type is typed from the open file's
        // first bytes.
        job->reply(mimeTypes_.mimeTypeForFileNameAndData(path, file).name().toLatin1(), file);
    }

private:
    QByteArray page_;
    QString filePath_;
    QMimeDatabase mimeTypes_;
};

// The preview's page keeps to what the program loads into it. A link the
// user follows goes to the desktop's browser through the program; whatever
// else would lead the window elsewhere (a refresh the page asks for, a form,
// going back) is refused, and no window opens.
class TPreviewPage : public QWebEnginePage {
public:
    TPreviewPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
        // A window asked for by a link with a target, or by the middle
        // button; the engine says whether the user's hand was in it.
        connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
            if (request.isUserInitiated()) Follow(request.requestedUrl());
        });
    }

    void Load(const QUrl& url) {
        own_ = url;
        load(url);
    }

    std::function<void(const QUrl&)> followed;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        // The page's frames show what they name, as in a browser.
        if (!isMainFrame) return true;
        if (NamesFile(url, own_) && (type == NavigationTypeTyped || type == NavigationTypeReload)) return true;
        if (type != NavigationTypeLinkClicked) return false;
        // With the page's scripts off, only the user follows a link.
        Follow(url);
        return false;
    }

    // Every window is asked for through newWindowRequested; none opens here.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

private:
    void Follow(const QUrl& url) {
        // After the engine's call has returned: opening may show a message.
        QTimer::singleShot(0, this, [this, target = DesktopUrl(url)] {
            if (followed) followed(target);
        });
    }

    QUrl own_;
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
        page_ = new TPreviewPage(profile_.get(), view_);
        ScriptsOff(page_->settings());
        view_->setPage(page_);
        choice_ = new TViewChoice(this);
        auto* note = new QLabel(QStringLiteral("Skripte der Seite laufen nur im Browser."), this);
        note->setObjectName(QStringLiteral("ScriptNote"));
        note->setContentsMargins(6, 3, 6, 3);
        auto* hint = new QLabel(QStringLiteral("Auf Handys sehr klein – „Für Handys“ einschalten"), this);
        hint->setObjectName(QStringLiteral("PhoneHint"));
        hint->setContentsMargins(6, 3, 6, 3);
        hint->setAlignment(Qt::AlignHCenter);
        auto* top = new QHBoxLayout();
        top->setContentsMargins(0, 0, 0, 0);
        top->addWidget(choice_);
        top->addWidget(note, 1);
        auto* fill = new QVBoxLayout(this);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->setSpacing(0);
        fill->addLayout(top);
        fill->addWidget(view_, 1);
        fill->addWidget(hint);
        stage_ = {fill, view_, hint};
        preview::ShowAsScreenOrPhone(stage_, choice_->Phone(), false);
        connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) { RestoreScroll(); });
        ui::ConnectGuarded(choice_, &TViewChoice::Chosen, this, &TWebPreview::ViewChosen);
    }

    ~TWebPreview() override {
        // The page goes before its profile.
        delete view_;
    }

    QWidget* Window() override { return this; }

    void ShowPage(const QByteArray& page, const QString& filePath) override {
        // While a load is under way the old document's position is what the
        // user left; the new one has none yet. The engine tells it in the
        // view's pixels, the page scrolls in its own: they differ by the
        // zoom of the phone view.
        if (!loading_) scroll_ = view_->page()->scrollPosition() / view_->zoomFactor();
        loading_ = true;
        shown_ = page;
        shownPath_ = filePath;
        pages_.SetPage(page, filePath);
        preview::ShowAsScreenOrPhone(stage_, choice_->Phone(),
                                     preview::DeclaresViewport(std::string_view(page.constData(), page.size())));
        page_->Load(SchemeUrl(filePath));
    }

    void OnLinkFollowed(std::function<void(const QUrl&)> open) override { page_->followed = std::move(open); }

private:
    // The page drawn again for the other view, where the user left it.
    void ViewChosen() {
        if (shownPath_.isEmpty())
            preview::ShowAsScreenOrPhone(stage_, choice_->Phone(), false);
        else
            ShowPage(shown_, shownPath_);
    }

    // A browser keeps the page's scripts from reading what the page only
    // shows: another file in a frame, a picture's pixels. This engine cannot:
    // its schemes of our own give either one origin to every file (a frame's
    // text can be read) or an opaque one that still lets a canvas read any
    // picture's pixels, and it does not tell whether a navigation came from
    // the user's hand. So the page's scripts do not run here, nor open
    // windows.
    static void ScriptsOff(QWebEngineSettings* settings) {
        settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    }

    void RestoreScroll() {
        loading_ = false;
        if (scroll_.isNull()) return;
        // In the program's own world, which runs with the page's scripts off.
        page_->runJavaScript(QStringLiteral("window.scrollTo(%1, %2)").arg(scroll_.x()).arg(scroll_.y()),
                             QWebEngineScript::ApplicationWorld);
    }

    std::unique_ptr<QWebEngineProfile> profile_;
    TPreviewSchemeHandler pages_;
    QWebEngineView* view_ = nullptr;
    TPreviewPage* page_ = nullptr;
    TViewChoice* choice_ = nullptr;
    preview::TPhoneStage stage_{};
    QByteArray shown_;
    QString shownPath_;
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
        preview::ChooseEngineSandbox();
        // Registered before the engine starts. A path scheme resolves
        // "../bild.png" as file: does; local access lets the page reach
        // pictures named by file: URLs, as the written file can. Each
        // document has an origin of its own that nothing shares, so that
        // even a script could not read a frame's file or fetch one.
        QWebEngineUrlScheme scheme(kScheme);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        scheme.setFlags(QWebEngineUrlScheme::NoAccessAllowed | QWebEngineUrlScheme::LocalAccessAllowed);
        QWebEngineUrlScheme::registerScheme(scheme);
        ShareOpenGLContexts();
    }

    std::unique_ptr<IPagePreview> CreatePreview() override { return std::make_unique<TWebPreview>(); }
};

}  // namespace

#include "web_preview.moc"
