#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>

#include "core/line_list.h"
#include "core/page_description.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStringListModel;
class QShortcut;
class QTabWidget;
class QToolButton;

namespace ui {
class TElidedLabel;
class TListBox;
class TSpinEdit;
class TToggleGroup;
}  // namespace ui

// The wizard: five input pages, the code view and the finish button. The
// controls hold the whole page state; HeadingSizeChoice is the only value
// kept beside them.
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
    // Editing an entry, on F2 or a double-click in its list: a text line in
    // place, a link or an image in a small dialog.
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
    // "…" beside each image field: "Bild auswählen".
    void SpeedButton12Click();  // background image, Edit1
    void SpeedButton13Click();  // heading image, Edit8
    void SpeedButton14Click();  // corner image, Edit9
    void SpeedButton15Click();  // dot image, Edit6
    void SpeedButton16Click();  // link background, Edit7
    void SpeedButton17Click();  // inline image, Edit13
    void SpeedButton18Click();  // image column, Edit10

    // Finish command.
    // The page the wizard holds now; reading it changes nothing.
    core::TPageDescription DescribePage() const;
    // The same, leaving the traces a finish leaves in the window.
    core::TPageDescription ReadPageDescription();
    // The opposite: the controls of a fresh window set to show this page.
    void LoadPageDescription(const core::TPageDescription& page);
    void SpeedButton9Click();   // "F     E     R     T     I     G"
    void SpeedButton10Click();  // "Im Browser ansehen"
    void SpeedButton11Click();  // "Vorschau"
    void SpeedButton19Click();  // "Veröffentlichen"

    // The page file as the user named it, relative to the working directory
    // and with any character the file system takes ("Reise→Rom.html").
    QString PageFilePath() const;
    // The absolute folder the page file lands in; relative names on the page
    // are found from there.
    QString PageFolder() const;

    // Whether the user changed anything, pending input fields included,
    // since the wizard started, last wrote its page or was filled from one.
    bool HasUnsavedEntries() const;
    // What the controls hold now counts as saved.
    void MarkSaved();

    std::int32_t HeadingSizeChoice = 3;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet5 = nullptr;
    QWidget* TabSheet7 = nullptr;
    QToolButton* SpeedButton9 = nullptr;
    // Keys for the whole window, whichever control has the focus.
    QShortcut* SaveKey = nullptr;       // Ctrl+S
    QShortcut* NewEntryKey = nullptr;   // Alt+N
    QShortcut* LineBreakKey = nullptr;  // Ctrl+Return
    // The picture pickers, in the order of their handlers above.
    QToolButton* SpeedButton12 = nullptr;
    QToolButton* SpeedButton13 = nullptr;
    QToolButton* SpeedButton14 = nullptr;
    QToolButton* SpeedButton15 = nullptr;
    QToolButton* SpeedButton16 = nullptr;
    QToolButton* SpeedButton17 = nullptr;
    QToolButton* SpeedButton18 = nullptr;

    // "Allgemeine Einstellungen"
    QLabel* Label10 = nullptr;
    QRadioButton* hgb = nullptr;
    QRadioButton* hgf = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit14 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit19 = nullptr;
    QRadioButton* html = nullptr;
    QRadioButton* htm = nullptr;
    QCheckBox* CSS = nullptr;
    QLineEdit* Edit15 = nullptr;
    QLineEdit* Edit16 = nullptr;
    QLineEdit* Edit17 = nullptr;
    QLineEdit* Edit18 = nullptr;
    QCheckBox* fett = nullptr;
    ui::TSpinEdit* SpinEdit4 = nullptr;
    ui::TSpinEdit* SpinEdit5 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    // "Überschrift"
    QLabel* Label11 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QLineEdit* Edit20 = nullptr;
    QLineEdit* Edit21 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QCheckBox* eck = nullptr;
    QLineEdit* Edit9 = nullptr;
    ui::TSpinEdit* SpinEdit1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;

    // "Links"; ListBox5 holds the targets beside ListBox2 and is never shown.
    QLabel* Label9 = nullptr;
    ui::TListBox* ListBox2 = nullptr;
    QStringList ListBox5;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QCheckBox* Dots = nullptr;
    QLineEdit* Edit6 = nullptr;
    QCheckBox* lh = nullptr;
    QLineEdit* Edit7 = nullptr;
    ui::TSpinEdit* SpinEdit2 = nullptr;
    QPlainTextEdit* Memo3 = nullptr;

    // "Text"
    QLabel* Label20 = nullptr;
    QPushButton* Button1 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QLineEdit* Edit12 = nullptr;
    ui::TListBox* ListBox1 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QToolButton* SpeedButton8 = nullptr;
    QLineEdit* Edit24 = nullptr;
    QLineEdit* Edit25 = nullptr;
    QLineEdit* Edit13 = nullptr;
    QToolButton* l = nullptr;
    QToolButton* m = nullptr;
    QToolButton* r = nullptr;
    ui::TToggleGroup* AlignmentGroup = nullptr;
    QPushButton* BitBtn8 = nullptr;
    QLineEdit* Edit22 = nullptr;
    QLineEdit* Edit23 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPlainTextEdit* Memo5 = nullptr;

    // "Bilder"; ListBox6 holds the captions beside ListBox3 and is never shown.
    QLabel* Label16 = nullptr;
    ui::TListBox* ListBox3 = nullptr;
    QStringList ListBox6;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QLineEdit* Edit11 = nullptr;
    ui::TSpinEdit* SpinEdit3 = nullptr;
    QPlainTextEdit* Memo4 = nullptr;

    // "HTML Code": the lines of the page the last finish made, only shown:
    // neither edited nor moved.
    QListView* ListBox4 = nullptr;
    QStringListModel* CodeLines = nullptr;
    QToolButton* SpeedButton10 = nullptr;
    QToolButton* SpeedButton11 = nullptr;
    QToolButton* SpeedButton19 = nullptr;
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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void WatchChanges();
    bool unsaved_ = false;

    void CreatePage1();
    void CreatePage2();
    void CreatePage3();
    void CreatePage4();
    void CreatePage5();
    void CreatePage7();
    void CreateKeys();
    void CreateImagePickers();
    // Lets the user choose a picture for the field.
    void PickImage(QLineEdit* field);
    // Looks for the page's files beside it, once per finish.
    void ShowMissingFiles(const core::TLineList& page);
    void ConnectHandlers();
    void ConnectLists();
};
