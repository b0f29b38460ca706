#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "core/page_description.h"
#include "preview/preview_controller.h"
#include "publishing/publish_controller.h"

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QLabel;
class QToolButton;
class TForm3;

// The title screen: the product name, "Öffnen" to go on editing a page,
// "Vom Server holen…" to bring a published site back and go on editing it
// here, "Start" to open the wizard and "Ende" to end the program. It is the main
// window; closing it ends the run.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The wizard, hidden until "Start". It is made right after this window's
    // first frame, so that the user sees the program sooner; anything that
    // needs it earlier makes it at once.
    TForm3* Wizard();
    bool HasWizard() const { return wizard_ != nullptr; }
    // "Vorschau" of whichever wizard this window holds.
    TPagePreviewController& Preview() { return preview_; }
    // "Veröffentlichen" of whichever wizard this window holds.
    TPublishController& Publishing() { return publishing_; }

    void SpeedButton1Click();  // "Öffnen"
    void SpeedButton2Click();  // "Start"
    void SpeedButton3Click();  // "Ende"
    void SpeedButton4Click();  // "Vom Server holen…"

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;

    // Fills a fresh wizard with the page in this file and shows it; the
    // page's folder becomes the working directory.
    void OpenPage(const QString& path);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // True when the wizard holds nothing unsaved, or the user answers this
    // question, after the word that entries are unsaved, with "Ja".
    bool MayDropEntries(const QString& question);
    static QString DroppedFile(const QMimeData* data);
    // Makes this the wizard; the one before it closes.
    void Adopt(std::unique_ptr<TForm3> wizard);
    void PreviewRequested();
    void PublishRequested();
    // "Seite bearbeiten" in the wizard, or a site fetched back: the same
    // question and switch as "Öffnen", once the command has returned.
    void PageRequested(const QString& path);
    void NewPageRequested(const QString& path, const core::TPageDescription& page);
    // Runs the switch once the wizard's command has returned, after the
    // question about unsaved entries.
    void SwitchPageLater(std::function<void()> switchPage);
    // Makes a fresh wizard hold the page, written as the file would be;
    // the file's folder becomes the working directory. A page not written
    // yet counts as unsaved.
    void ShowPage(const QString& path, core::TPageDescription page, bool saved);

    // Declared before the wizard, so that the wizard goes first.
    TPagePreviewController preview_;
    TPublishController publishing_;
    std::unique_ptr<TForm3> wizard_;
    bool wizardDue_ = false;
};
