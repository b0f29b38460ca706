#pragma once

#include <QWidget>
#include <optional>

#include "publishing/plugin/publish_thread.h"
#include "publishing/publish_engine.h"
#include "transfer/online_check.h"
#include "transfer/publish.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class TResultArea;

// "Veröffentlichen": where the page goes and as whom, the progress while the
// transfer runs on its own thread, and the result line. The window stays
// responsive throughout; the transfer's questions are asked here. Switched
// to "Vom Server holen", the same login fetches a site back into a new
// folder here.
class TForm4 : public QWidget, public IPublishWindow {
    Q_OBJECT
    Q_INTERFACES(IPublishWindow)
public:
    explicit TForm4(QWidget* parent = nullptr);
    // A publish still running is cancelled and waited for.
    ~TForm4() override;

    void BitBtn1Click();       // "Veröffentlichen", or "Holen"
    void BitBtn2Click();       // "Schließen"
    void BitBtn3Click();       // "Abbrechen"
    void BitBtn4Click();       // "Vom Server holen…", or back to "Veröffentlichen…"
    void SpeedButton1Click();  // "…" beside the key file
    void SpeedButton2Click();  // "…" beside "Ordner hier"
    void ComboBox1Change();    // "Übertragung"
    void LoginChange();        // "Server", "Port" or "Benutzer"; "Übertragung" too
    void Edit4Change();        // "Kennwort", typed by the user
    void CheckBox2Click();     // "Fotos verkleinern auf"

    void SetPageFile(const QString& file) override;
    void Send(const TPageAsWritten& page) override;
    void SetFetching(bool fetching) override;

    QLabel* Label9 = nullptr;  // "Übertragung": SFTP, FTPS, WebDAV or object storage
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label1 = nullptr;  // "Server"; WebDAV's "Adresse", object storage's "Endpunkt"
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;  // "Port", but for the ways over an address
    QLineEdit* Edit2 = nullptr;
    QLabel* Label13 = nullptr;  // "Bucket", object storage's, where the port is
    QLineEdit* Edit9 = nullptr;
    QLabel* Label3 = nullptr;  // "Benutzer"; object storage's "Zugangsschlüssel"
    QLineEdit* Edit3 = nullptr;
    QLabel* Label4 = nullptr;  // "Kennwort" or "Geheimer Schlüssel", hidden as typed
    QLineEdit* Edit4 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Label5 = nullptr;  // "Schlüsseldatei", optional
    QLineEdit* Edit5 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* Label14 = nullptr;  // "Region", object storage's, where the key file is
    QLineEdit* Edit10 = nullptr;
    QLabel* Label6 = nullptr;  // "Ordner auf dem Server"; object storage's "Präfix"
    QLineEdit* Edit6 = nullptr;
    QLabel* Label10 = nullptr;  // "Adresse der Seite im Netz", optional
    QLineEdit* Edit7 = nullptr;
    // "Fotos verkleinern auf … Pixel": the longer side photos are scaled to
    // on their way up; off, they go at their own size.
    QCheckBox* CheckBox2 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLabel* Label12 = nullptr;
    // Fetching only: where the site starts, the new folder here it goes
    // to, and whether all else in the server folder comes too.
    QLabel* Label15 = nullptr;  // "Startseite"
    QLineEdit* Edit11 = nullptr;
    QLabel* Label16 = nullptr;  // "Ordner hier"
    QLineEdit* Edit12 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    // While it runs: the file being sent and its bytes.
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label7 = nullptr;
    // What the last publish did, and what the check online found: each
    // message whole.
    TResultArea* Label8 = nullptr;
    TResultArea* Label11 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;

signals:
    // "Veröffentlichen" with a login complete: the page to send is wanted.
    void PublishPressed();
    // A fetch is whole: the start page, absolute, to open.
    void PageFetched(const QString& file);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreateFetchControls();
    void ConnectHandlers();
    // The progress, the results and the buttons, `shift` pixels further
    // down than when publishing.
    void PlaceLowerPart(int shift);
    // The remembered entries of the source's page, and its password from
    // the keyring when one is remembered.
    void LoadEntries();
    void SaveEntries();
    // The keyring's name of the login the window shows now.
    QString ShownAccount() const;
    // Gathers what the user typed; shows what is missing and gives nothing.
    std::optional<transfer::TServerLogin> ReadLogin();
    // The side of "Fotos verkleinern auf", or pictures::kNoScaling; shows
    // what is wrong and gives nothing.
    std::optional<int> ReadPictureSide();
    void StartPublishing(const QString& pageFile, transfer::TServerLogin login, int pictureSide);
    void ShowRunning(bool running);
    // The fields the chosen way needs, named as it names them; the key
    // file only for SFTP, and only while nothing runs.
    void ShowWayFields(bool running);
    void ShowSending(const QString& file, quint64 sent, quint64 size);
    void Finished(const transfer::TPublishResult& result);
    void StartFetching(transfer::TServerLogin login);
    void Fetched(const transfer::TFetchResult& result);
    // What every run ends with: the password kept in the keyring or
    // forgotten there as the user chose, and cleared here; the window
    // closed when that was asked while it ran.
    void EndRun(bool byPassword);
    // Nothing: the check online has begun.
    void Checked(const std::optional<transfer::TOnlineCheck>& check);

    QString pageFile_;
    QString entriesPage_;
    // The login read when "Veröffentlichen" was pressed, until the page
    // comes.
    std::optional<transfer::TServerLogin> pressedLogin_;
    std::optional<int> pressedSide_;  // "Fotos verkleinern auf", read with the login
    transfer::TPublishPlan plan_;
    transfer::TFetchOrder order_;
    transfer::TServerLogin login_;
    bool fetching_ = false;
    TPublishThread run_;
    bool keyring_ = false;
    // The login whose remembered password fills "Kennwort"; empty when the
    // user typed it, or nothing is there.
    QString filledAccount_;
    bool closeWhenDone_ = false;
};
