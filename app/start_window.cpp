#include "app/start_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QToolButton>

#include "ui/error_display.h"
#include "ui/window_look.h"
#include "wizard/wizard_window.h"

namespace {

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
    SpeedButton2 = AddBigFlatButton(this, QStringLiteral("SpeedButton2"), QStringLiteral("Start"), {128, 72, 121, 65});
    SpeedButton3 = AddBigFlatButton(this, QStringLiteral("SpeedButton3"), QStringLiteral("Ende"), {256, 72, 113, 65});

    ui::ConnectGuarded(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    ui::ConnectGuarded(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
}

TForm1::~TForm1() = default;

TForm3* TForm1::Wizard() {
    if (wizard_ == nullptr) wizard_ = std::make_unique<TForm3>();
    return wizard_.get();
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
    // The run ends with this window: the wizard goes with it, so that no
    // window is left that keeps the event loop going.
    if (wizard_ != nullptr) wizard_->close();
    event->accept();
}
