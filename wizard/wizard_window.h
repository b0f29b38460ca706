#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/page_description.h"
#include "core/page_file.h"
#include "core/site_navigation.h"
#include "wizard/page_as_written.h"
#include "wizard/paired_list.h"
#include "wizard/site_links_command.h"
#include "wizard/unsaved_mark.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QShortcut;
class QTabWidget;
class QToolButton;

namespace wizard {
class TMissingFilesCheck;
}
namespace ui {
class TElidedLabel;
class TLineListModel;
class TListBox;
class TSpinEdit;
class TToggleGroup;
}  // namespace ui

// The wizard: five input pages, the code view and the finish button. The
// controls hold the whole page; beside them stand only HeadingSizeChoice,
// the hidden partners ListBox5 and ListBox6, the path of the page the last
// finish wrote (WrittenPage), the unsaved mark and the missing-files check
// of the last finish.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // Editing commands.
    void FormCreate();
    void SpeedButton2Click();  // "Neuer Link"
    void SpeedButton5Click();  // "Link löschen"
    void Button1Click();       // "Hinzufügen"
    void SpeedButton6Click();  // "Zeilenumbruch"
    void BitBtn8Click();       // "Einfügen" an inline image
    void BitBtn1Click();       // "Einfügen" an inline link
    void SpeedButton7Click();  // "Zeile löschen"
    void SpeedButton8Click();  // "Alles löschen"
    void SpeedButton3Click();  // "Neues Bild"
    void SpeedButton4Click();  // "Bild löschen"
    // F2 or a double-click: a text line in place, a link or an image in a
    // small dialog.
    void ListBox1DblClick();
    void ListBox2DblClick();
    void ListBox3DblClick();
    void NewEntryKeyPress();   // Alt+N: "Neuer Link" or "Neues Bild"
    void LineBreakKeyPress();  // Ctrl+Return: "Zeilenumbruch"
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void RadioButton6Click();
    // "…" beside the image fields Edit1, Edit8, Edit9, Edit6, Edit7, Edit13
    // and Edit10: "Bild auswählen".
    void SpeedButton12Click();
    void SpeedButton13Click();
    void SpeedButton14Click();
    void SpeedButton15Click();
    void SpeedButton16Click();
    void SpeedButton17Click();
    void SpeedButton18Click();
    void SpeedButton20Click();  // "Ordner…"
    void SiteLinksClick();      // "Links auf allen Seiten gleich"
    void PageControl1Change();
    // "Seite bearbeiten": the page the selected link leads to, as it is on
    // disk or, when there is none yet, new.
    void SpeedButton21Click();
    void EditPageKeyPress();  // Ctrl+E: "Seite bearbeiten"

    // The page the wizard holds now; reading it changes nothing.
    core::TPageDescription DescribePage() const;
    // The opposite: the controls of a fresh window set to show this page.
    void LoadPageDescription(const core::TPageDescription& page);
    void SpeedButton9Click();  // "F     E     R     T     I     G"
    // The finish itself: what it wrote. Throws what the save throws.
    TFinishedPage Finish();
    void SpeedButton10Click();  // "Im Browser ansehen"
    void SpeedButton11Click();  // "Vorschau"
    void SpeedButton19Click();  // "Veröffentlichen"

    // The page file as the user named it, relative to the working directory
    // and with any character the file system takes ("Reise→Rom.html").
    QString PageFilePath() const;
    // The absolute folder the page file lands in; relative names on the page
    // are found from there.
    QString PageFolder() const;
    // The absolute path of the page file as the wizard names it now.
    QString CurrentPageFile() const;
    // The written page file to send on, once the user has answered over the
    // asking window whether to finish first ("Ja" finishes, "Nein" keeps
    // the written file, Escape drops it); or why there is none.
    TPageAsWritten PageAsWritten(QWidget* asking);

    // Whether the user changed anything, pending input fields included,
    // since the wizard started, last wrote its page or was filled from one.
    bool HasUnsavedEntries() const;
    // What the controls hold now counts as saved, nothing as pending.
    void MarkSaved();
    // The page counts as unsaved work though no control changed: a page
    // not written yet.
    void MarkUnsaved();

    std::int32_t HeadingSizeChoice = 3;

    QTabWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr, *TabSheet4 = nullptr,
            *TabSheet5 = nullptr, *TabSheet7 = nullptr;
    QToolButton* SpeedButton9 = nullptr;
    // Keys for the whole window, whichever control has the focus: Ctrl+S,
    // Alt+N, Ctrl+Return, Ctrl+E.
    QShortcut *SaveKey = nullptr, *NewEntryKey = nullptr, *LineBreakKey = nullptr, *EditPageKey = nullptr;
    // In the finish button's strip: the file a finish writes.
    ui::TElidedLabel* Label22 = nullptr;
    // The picture pickers, in the order of their handlers above.
    QToolButton *SpeedButton12 = nullptr, *SpeedButton13 = nullptr, *SpeedButton14 = nullptr, *SpeedButton15 = nullptr,
                *SpeedButton16 = nullptr, *SpeedButton17 = nullptr, *SpeedButton18 = nullptr;

    // "Allgemeine Einstellungen"
    QLabel* Label10 = nullptr;
    QRadioButton *hgb = nullptr, *hgf = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit14 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit19 = nullptr;
    QRadioButton *html = nullptr, *htm = nullptr;
    QToolButton* SpeedButton20 = nullptr;
    QCheckBox *CSS = nullptr, *fett = nullptr;
    QLineEdit *Edit15 = nullptr, *Edit16 = nullptr, *Edit17 = nullptr, *Edit18 = nullptr;
    ui::TSpinEdit *SpinEdit4 = nullptr, *SpinEdit5 = nullptr;
    QCheckBox *handy = nullptr, *alttext = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    // "Überschrift"
    QLabel* Label11 = nullptr;
    QLineEdit *Edit2 = nullptr, *Edit5 = nullptr, *Edit20 = nullptr, *Edit21 = nullptr, *Edit8 = nullptr,
              *Edit9 = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr, *RadioButton4 = nullptr,
                 *RadioButton5 = nullptr, *RadioButton6 = nullptr;
    QCheckBox* eck = nullptr;
    ui::TSpinEdit* SpinEdit1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;

    // "Links"; ListBox5 holds the targets beside ListBox2 and is never shown.
    QLabel* Label9 = nullptr;
    ui::TListBox* ListBox2 = nullptr;
    QStringList ListBox5;
    QToolButton *SpeedButton2 = nullptr, *SpeedButton5 = nullptr, *SpeedButton21 = nullptr;
    QLineEdit *Edit3 = nullptr, *Edit4 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr;
    QCheckBox *Dots = nullptr, *lh = nullptr;
    // Not part of the page: whether a finish that changes the links changes
    // them on the folder's other pages too.
    QCheckBox* SiteLinks = nullptr;
    ui::TSpinEdit* SpinEdit2 = nullptr;
    QPlainTextEdit* Memo3 = nullptr;

    // "Text"
    QLabel* Label20 = nullptr;
    QPushButton *Button1 = nullptr, *BitBtn8 = nullptr, *BitBtn1 = nullptr;
    QToolButton *SpeedButton6 = nullptr, *SpeedButton7 = nullptr, *SpeedButton8 = nullptr;
    QLineEdit *Edit12 = nullptr, *Edit24 = nullptr, *Edit25 = nullptr, *Edit13 = nullptr, *Edit22 = nullptr,
              *Edit23 = nullptr;
    ui::TListBox* ListBox1 = nullptr;
    QToolButton *l = nullptr, *m = nullptr, *r = nullptr;
    ui::TToggleGroup* AlignmentGroup = nullptr;
    QPlainTextEdit* Memo5 = nullptr;

    // "Bilder"; ListBox6 holds the captions beside ListBox3 and is never shown.
    QLabel* Label16 = nullptr;
    ui::TListBox* ListBox3 = nullptr;
    QStringList ListBox6;
    QToolButton *SpeedButton3 = nullptr, *SpeedButton4 = nullptr;
    QLineEdit *Edit10 = nullptr, *Edit11 = nullptr;
    ui::TSpinEdit* SpinEdit3 = nullptr;
    QPlainTextEdit* Memo4 = nullptr;

    // "HTML Code": the lines of the page the last finish made, only shown:
    // neither edited nor moved.
    QListView* ListBox4 = nullptr;
    ui::TLineListModel* CodeLines = nullptr;
    QToolButton *SpeedButton10 = nullptr, *SpeedButton11 = nullptr, *SpeedButton19 = nullptr;
    // What the last finish's page names but its folder lacks.
    ui::TElidedLabel* Label21 = nullptr;
    // The absolute path of the page the last finish wrote; empty when it
    // wrote nothing. Absolute, because the working directory may change
    // before the user looks at the page.
    QString WrittenPage;

signals:
    // Anything the page or a pending entry is made of changed, by the user
    // or by the program.
    void PageChanged();
    // "Vorschau" was pressed; the preview lives above the wizard.
    void PreviewRequested();
    // "Veröffentlichen" was pressed; publishing lives above the wizard.
    void PublishRequested();
    // "Seite bearbeiten" found this page; switching pages lives above the
    // wizard.
    void PageRequested(const QString& file);
    // The same for a page not written yet, to be written to `file`.
    void NewPageRequested(const QString& file, const core::TPageDescription& page);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreatePage1();
    void CreatePage2();
    void CreatePage3();
    void CreatePage4();
    void CreatePage5();
    void CreatePage7();
    void CreateKeys();
    void CreateImagePickers();
    void ConnectLists();
    void WatchChanges();
    // Label22 names the page file as the controls name it now.
    void ShowPageFile();
    // DescribePage, leaving the traces a finish leaves in the window.
    core::TPageDescription ReadPageDescription();
    // Nothing written by this page's finish any more: no page to look at,
    // no missing-files line.
    void ForgetWrittenPage();
    // Whether the file holds the page the controls describe now.
    bool FileHoldsThePage(const QString& file) const;
    // Finishes, and names the page when the finish wrote it.
    TPageAsWritten FinishedPage();
    // The box "Links auf allen Seiten gleich" as it holds for the folder,
    // whose other files the finish read; `pageIsOne`: the page's own file is
    // a page of this program.
    void ShowSiteLinksChoice(const std::vector<core::TSiteFile>& site, bool pageIsOne);

    std::optional<wizard::TPairedList> links_;   // ListBox2 and ListBox5
    std::optional<wizard::TPairedList> images_;  // ListBox3 and ListBox6
    wizard::TUnsavedMark unsaved_;
    wizard::TMissingFilesCheck* missingFiles_ = nullptr;  // beside Label21
    // The page file as this window last wrote it: while it is found so, it
    // needs no reading back before it is replaced.
    std::optional<core::TFileStamp> writtenStamp_;
    // The link list as the page had it when it was last started, opened or
    // written: the list the folder's other pages are matched against.
    std::vector<core::TLinkEntry> linkBaseline_;
    wizard::TSiteLinksChoice siteLinks_;
};
