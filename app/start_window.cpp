#include "app/start_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>
#include <optional>
#include <stdexcept>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_reader.h"
#include "ui/error_display.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"
#include "ui/window_look.h"
#include "wizard/page_copy_offer.h"
#include "wizard/wizard_window.h"

namespace {

const QString kOpenAnyway = QStringLiteral("Trotzdem eine andere Seite öffnen?");

QLabel* AddGreenTitle(QWidget* window, const QString& name, const QString& caption, const QRect& geometry,
                      const QFont& font) {
    auto* label = new QLabel(caption, window);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    ui::SetTextColor(label, ui::TitleGreen());
    return label;
}

QToolButton* AddBigFlatButton(QWidget* window, const QString& name, const QString& caption, const QRect& geometry) {
    auto* button = new QToolButton(window);
    button->setObjectName(name);
    button->setText(caption);
    button->setGeometry(geometry);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(ui::PixelFont(QStringLiteral("MS Sans Serif"), 24, ui::Bold | ui::Italic));
    return button;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    ui::SetUpFixedWindow(this, QStringLiteral("HTML Tavirel"), 278, 226, 377, 141);

    Label1 = AddGreenTitle(this, QStringLiteral("Label1"), QStringLiteral("HTML"), {16, 0, 146, 55},
                           ui::PixelFont(QStringLiteral("Times New Roman"), 48, ui::Bold));
    Label2 = AddGreenTitle(this, QStringLiteral("Label2"), QStringLiteral("Tavirel"), {176, 16, 176, 48},
                           ui::PixelFont(QStringLiteral("System"), 48, ui::Bold | ui::Italic));
    SpeedButton1 = AddBigFlatButton(this, QStringLiteral("SpeedButton1"), QStringLiteral("Öffnen"), {8, 72, 113, 65});
    SpeedButton2 = AddBigFlatButton(this, QStringLiteral("SpeedButton2"), QStringLiteral("Start"), {128, 72, 121, 65});
    SpeedButton3 = AddBigFlatButton(this, QStringLiteral("SpeedButton3"), QStringLiteral("Ende"), {256, 72, 113, 65});
    setAcceptDrops(true);

    ui::ConnectGuarded(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    ui::ConnectGuarded(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    ui::ConnectGuarded(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
}

TForm1::~TForm1() = default;

TForm3* TForm1::Wizard() {
    if (wizard_ == nullptr) Adopt(std::make_unique<TForm3>());
    return wizard_.get();
}

void TForm1::Adopt(std::unique_ptr<TForm3> wizard) {
    // The preview follows the new wizard before the old one closes, so that
    // closing it does not close the preview.
    preview_.Attach(wizard.get());
    publishing_.Attach(wizard.get());
    ui::ConnectGuarded(wizard.get(), &TForm3::PreviewRequested, this, &TForm1::PreviewRequested);
    ui::ConnectGuarded(wizard.get(), &TForm3::PublishRequested, this, &TForm1::PublishRequested);
    connect(wizard.get(), &TForm3::PageRequested, this, &TForm1::PageRequested);
    connect(wizard.get(), &TForm3::NewPageRequested, this, &TForm1::NewPageRequested);
    if (wizard_ != nullptr) wizard_->close();
    wizard_ = std::move(wizard);
}

void TForm1::PreviewRequested() {
    preview_.Open();
}

void TForm1::PublishRequested() {
    publishing_.Open();
}

void TForm1::PageRequested(const QString& path) {
    SwitchPageLater([this, path] { OpenPage(path); });
}

void TForm1::NewPageRequested(const QString& path, const core::TPageDescription& page) {
    SwitchPageLater([this, path, page] { ShowPage(path, page, false); });
}

// Posted: the switch closes the wizard whose command is still running.
void TForm1::SwitchPageLater(std::function<void()> switchPage) {
    QMetaObject::invokeMethod(
        this,
        [this, switchPage = std::move(switchPage)] {
            ui::RunGuarded(this, [this, &switchPage] {
                if (MayDropEntries(kOpenAnyway)) switchPage();
            });
        },
        Qt::QueuedConnection);
}

bool TForm1::event(QEvent* event) {
    // Posted, the wizard is made once this frame is on the screen and
    // before the events that follow it.
    if (event->type() == QEvent::Paint && !wizardDue_) {
        wizardDue_ = true;
        QMetaObject::invokeMethod(
            this, [this] { Wizard(); }, Qt::QueuedConnection);
    }
    return QWidget::event(event);
}

bool TForm1::MayDropEntries(const QString& question) {
    return wizard_ == nullptr || !wizard_->HasUnsavedEntries() ||
           ui::AskYesNo(this, QStringLiteral("Die Eingaben im Assistenten sind noch nicht gespeichert. ") + question);
}

void TForm1::SpeedButton1Click() {
    if (!MayDropEntries(kOpenAnyway)) return;
    // Qt's own dialog looks and behaves the same on every desktop.
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Seite öffnen"), QDir::currentPath(),
                                                      QStringLiteral("HTML-Seiten (*.html *.htm)"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) OpenPage(path);
}

void TForm1::OpenPage(const QString& path) {
    const QFileInfo file(path);
    const QString name = file.fileName();
    const bool longExtension = name.endsWith(QStringLiteral(".html"));
    // Messages naming a path carry it in UTF-8, as the file system has it.
    const auto refuse = [](const QString& message) { throw core::TPathFileError(message.toUtf8().toStdString()); };
    const QString notOurs =
        name + QStringLiteral(" ist keine Seite von HTML Tavirel oder wurde danach von Hand geändert");
    if (!longExtension && !name.endsWith(QStringLiteral(".htm"))) refuse(notOurs);
    // A page cut short by a save that was cut off is no page to read; its
    // previous bytes may be.
    wizard::OfferPageCopy(this, core::TPageFolder(ui::ToPath(file.absolutePath())), ui::ToPath(name).string());
    std::optional<core::TPageDescription> page = core::ReadPage(core::ReadPossiblePage(ui::ToPath(path)));
    if (!page) refuse(notOurs);
    ShowPage(path, std::move(*page), true);
}

void TForm1::ShowPage(const QString& path, core::TPageDescription page, bool saved) {
    const QFileInfo file(path);
    const QString name = file.fileName();
    const QString baseName = name.left(name.lastIndexOf(QLatin1Char('.')));
    page.FileBaseName = ui::ToAnsi(baseName);
    page.LongExtension = name.endsWith(QStringLiteral(".html"));

    // Finishing writes the page where it was found, and relative image
    // names mean there what they mean in the browser.
    if (!QDir::setCurrent(file.absolutePath()))
        throw core::TPathFileError(
            (QStringLiteral("Der Ordner der Seite „") + path + QStringLiteral("“ lässt sich nicht öffnen"))
                .toUtf8()
                .toStdString());
    auto wizard = std::make_unique<TForm3>();
    wizard->LoadPageDescription(page);
    // The name as it is on disk, also where the page's code page lacks a
    // character of it.
    wizard->Edit19->setText(baseName);
    if (saved)
        wizard->MarkSaved();
    else
        wizard->MarkUnsaved();
    Adopt(std::move(wizard));
    SpeedButton2Click();
}

void TForm1::SpeedButton2Click() {
    // Showing an already visible wizard only brings it to the front.
    TForm3* wizard = Wizard();
    wizard->show();
    wizard->raise();
    wizard->activateWindow();
}

void TForm1::SpeedButton3Click() {
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!MayDropEntries(QStringLiteral("Trotzdem beenden?"))) {
        event->ignore();
        return;
    }
    // The run ends with this window: the wizard goes with it, so that no
    // window is left that keeps the event loop going.
    if (wizard_ != nullptr) wizard_->close();
    // A publish still running is cancelled; its window goes once it stops.
    if (publishing_.Window() != nullptr) publishing_.Window()->close();
    event->accept();
}

// One page file, dragged from a file manager, opens as through "Öffnen".
QString TForm1::DroppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return QString();
    return urls.front().toLocalFile();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    ui::RunGuarded(this, [this, path] {
        if (MayDropEntries(kOpenAnyway)) OpenPage(path);
    });
}
