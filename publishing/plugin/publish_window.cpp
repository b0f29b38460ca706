// The window "Veröffentlichen": its controls, where they sit, and how the
// window shows a publish while it runs.

#include "publishing/plugin/publish_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include "publishing/plugin/fetch_folder.h"
#include "publishing/plugin/password_keyring.h"
#include "publishing/plugin/publish_questions.h"
#include "publishing/plugin/result_area.h"
#include "publishing/plugin/transfer_choice.h"
#include "publishing/publish_engine.h"
#include "ui/error_display.h"
#include "ui/text_boundary.h"
#include "ui/window_look.h"

namespace {

constexpr int kWidth = 398;
constexpr int kHeight = 438;
// The rows only a fetch has, beyond those only a publish has.
constexpr int kFetchRows = 28;
constexpr int kFieldLeft = 150;
constexpr int kFieldWidth = 240;

const QString kNoKeyring = QStringLiteral("Kein Schlüsselbund gefunden: das Kennwort wird jedes Mal erfragt");

template <typename Control>
Control* Place(Control* control, const QString& name, const QRect& geometry) {
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

QLineEdit* AddField(QWidget* window, const QString& labelName, const QString& caption, const QString& name, int top,
                    int width, QLabel*& label) {
    auto* field = Place(new QLineEdit(window), name, {kFieldLeft, top, width, 21});
    label = Place(new QLabel(caption, window), labelName, {8, top, kFieldLeft - 16, 21});
    label->setBuddy(field);
    return field;
}

QPushButton* AddButton(QWidget* window, const QString& name, const QString& caption, const QRect& geometry) {
    return Place(new QPushButton(caption, window), name, geometry);
}

}  // namespace

TForm4::TForm4(QWidget* parent)
    : QWidget(parent),
      run_({[this](const QString& host, const QString& keyType, const QString& fingerprint) {
                if (login_.protocol != transfer::TProtocol::Sftp)
                    return AskTrustCertificate(this, host, keyType, fingerprint);
                return AskTrustHost(this, host, keyType, fingerprint);
            },
            [this](const QString& keyFile) { return AskPassphrase(this, keyFile); },
            [this](const pictures::TPicturesDone& done, const std::vector<std::string>& notCleanable) {
                return MaySendPictures(this, done, notCleanable);
            }},
           {[this](const QString& file, quint64 sent, quint64 size) { ShowSending(file, sent, size); },
            [this](const QString& file) { Label7->setText(file + ui::FromUtf8(pictures::kPreparing)); },
            [this](const transfer::TPublishResult& result) { Finished(result); },
            [this](const std::optional<transfer::TOnlineCheck>& check) { Checked(check); },
            [this](const transfer::TFetchResult& result) { Fetched(result); }}) {
    ui::SetUpFixedWindow(this, QStringLiteral("Veröffentlichen"), 200, 200, kWidth, kHeight);
    setObjectName(QStringLiteral("Form4"));
    CreateControls();
    CreateFetchControls();
    ConnectHandlers();
    SetFetching(false);
    ShowRunning(false);
    ShowWayFields(false);
}

TForm4::~TForm4() = default;

void TForm4::CreateControls() {
    ComboBox1 = Place(new QComboBox(this), QStringLiteral("ComboBox1"), {kFieldLeft, 8, 160, 21});
    ComboBox1->addItems(TransferChoices());
    Label9 =
        Place(new QLabel(QStringLiteral("Übe&rtragung:"), this), QStringLiteral("Label9"), {8, 8, kFieldLeft - 16, 21});
    Label9->setBuddy(ComboBox1);
    Edit1 = AddField(this, QStringLiteral("Label1"), QStringLiteral("&Server:"), QStringLiteral("Edit1"), 36,
                     kFieldWidth, Label1);
    Edit2 = AddField(this, QStringLiteral("Label2"), QStringLiteral("&Port:"), QStringLiteral("Edit2"), 64, 60, Label2);
    Edit2->setValidator(new QIntValidator(1, 65535, Edit2));
    Edit2->setText(QStringLiteral("22"));
    Edit9 = AddField(this, QStringLiteral("Label13"), QStringLiteral("B&ucket:"), QStringLiteral("Edit9"), 64,
                     kFieldWidth, Label13);
    Edit3 = AddField(this, QStringLiteral("Label3"), QStringLiteral("&Benutzer:"), QStringLiteral("Edit3"), 92,
                     kFieldWidth, Label3);
    Edit4 = AddField(this, QStringLiteral("Label4"), QStringLiteral("&Kennwort:"), QStringLiteral("Edit4"), 120,
                     kFieldWidth, Label4);
    Edit4->setEchoMode(QLineEdit::Password);
    CheckBox1 = Place(new QCheckBox(QStringLiteral("Kennwort im Schlüsselbund &merken"), this),
                      QStringLiteral("CheckBox1"), {kFieldLeft, 144, kFieldWidth, 21});
    Edit5 = AddField(this, QStringLiteral("Label5"), QStringLiteral("Schlüssel&datei:"), QStringLiteral("Edit5"), 172,
                     kFieldWidth - 28, Label5);
    Edit5->setPlaceholderText(QStringLiteral("SSH-Agent und ~/.ssh"));
    SpeedButton1 =
        Place(new QToolButton(this), QStringLiteral("SpeedButton1"), {kFieldLeft + kFieldWidth - 24, 172, 24, 21});
    SpeedButton1->setText(QStringLiteral("…"));
    SpeedButton1->setToolTip(QStringLiteral("Schlüsseldatei wählen"));
    Edit10 = AddField(this, QStringLiteral("Label14"), QStringLiteral("Re&gion:"), QStringLiteral("Edit10"), 172, 160,
                      Label14);
    Edit10->setPlaceholderText(QStringLiteral("eu-central-1"));
    Edit6 = AddField(this, QStringLiteral("Label6"), QStringLiteral("&Ordner auf dem Server:"), QStringLiteral("Edit6"),
                     200, kFieldWidth, Label6);
    Edit6->setToolTip(QStringLiteral("Vom Anmeldeordner aus, außer er beginnt mit „/“"));
    Edit7 = AddField(this, QStringLiteral("Label10"), QStringLiteral("Adresse der Seite im &Netz:"),
                     QStringLiteral("Edit7"), 228, kFieldWidth, Label10);
    Edit7->setPlaceholderText(QStringLiteral("https://www.beispiel.de/ (freiwillig)"));
    Edit7->setToolTip(QStringLiteral("Nach dem Veröffentlichen wird die Seite dort abgerufen und verglichen"));
    CheckBox2 = Place(new QCheckBox(QStringLiteral("&Fotos verkleinern auf"), this), QStringLiteral("CheckBox2"),
                      {8, 256, kFieldLeft - 12, 21});
    CheckBox2->setChecked(true);
    Edit8 = Place(new QLineEdit(QString::number(pictures::kWebSide), this), QStringLiteral("Edit8"),
                  {kFieldLeft, 256, 60, 21});
    Edit8->setValidator(new QIntValidator(1, 99999, Edit8));
    Edit8->setToolTip(QStringLiteral("Die längere Seite; kleinere Fotos bleiben, wie sie sind"));
    Label12 =
        Place(new QLabel(QStringLiteral("Pixel"), this), QStringLiteral("Label12"), {kFieldLeft + 66, 256, 60, 21});

    ProgressBar1 = Place(new QProgressBar(this), QStringLiteral("ProgressBar1"), {});
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setTextVisible(false);
    Label7 = Place(new QLabel(this), QStringLiteral("Label7"), {});
    Label8 = Place(new TResultArea(this), QStringLiteral("Label8"), {});
    Label11 = Place(new TResultArea(this), QStringLiteral("Label11"), {});

    BitBtn3 = AddButton(this, QStringLiteral("BitBtn3"), QStringLiteral("Abbrechen"), {});
    BitBtn4 = AddButton(this, QStringLiteral("BitBtn4"), QString(), {});
    BitBtn1 = AddButton(this, QStringLiteral("BitBtn1"), QString(), {});
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    BitBtn2 = AddButton(this, QStringLiteral("BitBtn2"), QStringLiteral("Schließen"), {});

    keyring_ = KeyringAvailable();
    if (!keyring_) {
        CheckBox1->setChecked(false);
        CheckBox1->setEnabled(false);
        CheckBox1->setToolTip(kNoKeyring);
    }
}

void TForm4::CreateFetchControls() {
    Edit11 = AddField(this, QStringLiteral("Label15"), QStringLiteral("S&tartseite:"), QStringLiteral("Edit11"), 228,
                      kFieldWidth, Label15);
    Edit11->setText(QStringLiteral("index.html"));
    Edit11->setToolTip(QStringLiteral("Von ihr aus werden die Seiten über ihre Links geholt"));
    Edit12 = AddField(this, QStringLiteral("Label16"), QStringLiteral("Ordner hi&er:"), QStringLiteral("Edit12"), 256,
                      kFieldWidth - 28, Label16);
    Edit12->setToolTip(QStringLiteral("Ein neuer oder leerer Ordner"));
    SpeedButton2 =
        Place(new QToolButton(this), QStringLiteral("SpeedButton2"), {kFieldLeft + kFieldWidth - 24, 256, 24, 21});
    SpeedButton2->setText(QStringLiteral("…"));
    SpeedButton2->setToolTip(QStringLiteral("Ordner wählen"));
    CheckBox3 = Place(new QCheckBox(QStringLiteral("Den ganzen Ordner holen, auch &Fremdes"), this),
                      QStringLiteral("CheckBox3"), {kFieldLeft, 284, kFieldWidth, 21});
}

// Fetching, the rows of the fetch stand between the login and these.
void TForm4::PlaceLowerPart(int shift) {
    ProgressBar1->setGeometry(8, 288 + shift, kWidth - 16, 17);
    Label7->setGeometry(8, 308 + shift, kWidth - 16, 17);
    // The result has the progress's room too, which it needs only while
    // nothing is shown.
    Label8->setGeometry(8, 288 + shift, kWidth - 16, 76);
    Label11->setGeometry(8, 366 + shift, kWidth - 16, 38);
    BitBtn3->setGeometry(8, 408 + shift, 90, 25);
    BitBtn4->setGeometry(8, 408 + shift, 130, 25);
    BitBtn1->setGeometry(190, 408 + shift, 110, 25);
    BitBtn2->setGeometry(306, 408 + shift, 84, 25);
    setFixedSize(kWidth, kHeight + shift);
}

void TForm4::SetFetching(bool fetching) {
    if (run_.Running()) return;
    fetching_ = fetching;
    setWindowTitle(fetching ? QStringLiteral("Vom Server holen") : QStringLiteral("Veröffentlichen"));
    BitBtn1->setText(fetching ? QStringLiteral("&Holen") : QStringLiteral("&Veröffentlichen"));
    BitBtn4->setText(fetching ? QStringLiteral("Veröffentlichen…") : QStringLiteral("Vom Server &holen…"));
    // Pictures come back as they are on the server.
    for (QWidget* publishing : std::initializer_list<QWidget*>{Label10, Edit7, CheckBox2, Edit8, Label12, Label11})
        publishing->setVisible(!fetching);
    for (QWidget* fetch : std::initializer_list<QWidget*>{Label15, Edit11, Label16, Edit12, SpeedButton2, CheckBox3})
        fetch->setVisible(fetching);
    PlaceLowerPart(fetching ? kFetchRows : 0);
    Label8->clear();
    if (fetching && Edit12->text().trimmed().isEmpty()) Edit12->setText(OfferedFolder(Edit1->text().trimmed()));
}

void TForm4::ConnectHandlers() {
    ui::ConnectGuarded(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    ui::ConnectGuarded(BitBtn2, &QPushButton::clicked, this, &TForm4::BitBtn2Click);
    ui::ConnectGuarded(BitBtn3, &QPushButton::clicked, this, &TForm4::BitBtn3Click);
    ui::ConnectGuarded(BitBtn4, &QPushButton::clicked, this, &TForm4::BitBtn4Click);
    ui::ConnectGuarded(SpeedButton1, &QToolButton::clicked, this, &TForm4::SpeedButton1Click);
    ui::ConnectGuarded(SpeedButton2, &QToolButton::clicked, this, &TForm4::SpeedButton2Click);
    ui::ConnectGuarded(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm4::ComboBox1Change);
    for (QLineEdit* field : {Edit1, Edit2, Edit3})
        ui::ConnectGuarded(field, &QLineEdit::textChanged, this, &TForm4::LoginChange);
    ui::ConnectGuarded(Edit4, &QLineEdit::textEdited, this, &TForm4::Edit4Change);
    ui::ConnectGuarded(CheckBox2, &QCheckBox::toggled, this, &TForm4::CheckBox2Click);
}

void TForm4::showEvent(QShowEvent* event) {
    // Opened again for another page, the window shows that page's entries.
    if (!run_.Running() && pageFile_ != entriesPage_) LoadEntries();
    QWidget::showEvent(event);
}

void TForm4::closeEvent(QCloseEvent* event) {
    // The transfer is stopped first; the window goes when it has stopped.
    if (run_.Running()) {
        closeWhenDone_ = true;
        run_.Cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TForm4::ShowRunning(bool running) {
    for (QWidget* entry :
         std::initializer_list<QWidget*>{ComboBox1, Edit1, Edit2, Edit3, Edit4, Edit6, Edit7, CheckBox2, Edit9, Edit10,
                                         Edit11, Edit12, SpeedButton2, CheckBox3})
        entry->setEnabled(!running);
    Edit8->setEnabled(!running && CheckBox2->isChecked());
    ShowWayFields(running);
    if (keyring_) CheckBox1->setEnabled(!running);
    BitBtn1->setEnabled(!running);
    BitBtn2->setEnabled(!running);
    ProgressBar1->setVisible(running);
    Label7->setVisible(running);
    Label8->setVisible(!running);
    BitBtn3->setVisible(running);
    BitBtn3->setEnabled(running);
    BitBtn4->setVisible(!running);
    if (running) {
        ProgressBar1->setValue(0);
        Label7->clear();
        Label8->clear();
        Label11->clear();
        BitBtn3->setFocus();
    }
}

void TForm4::ShowSending(const QString& file, quint64 sent, quint64 size) {
    ProgressBar1->setValue(size == 0 ? 1000 : static_cast<int>(sent * 1000 / size));
    const QLocale german(QLocale::German, QLocale::Germany);
    Label7->setText(file + QStringLiteral(": ") + german.toString(sent) + QStringLiteral(" von ") +
                    german.toString(size) + QStringLiteral(" Bytes"));
}
