#pragma once

// Drives a real wizard window the way a user does and reads back what the
// user gets: list entries, the code view, the page file.

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "wizard/wizard_window.h"

namespace wizardtest {

using TLines = std::vector<std::string>;  // UTF-8, as written in the tests

class TWizardDriver {
public:
    TWizardDriver();

    void Page(const char* tabSheet);                   // clicks the page's tab
    void Type(const char* edit, const QString& text);  // replaces the edit's text
    void Click(const char* control);
    void Enter(const char* control);
    void Paste(const char* control, const QString& text);
    void SelectEntry(const char* list, int row);  // clicks the entry
    // Clicks "Fertig" and waits until the missing-files line shows the
    // result.
    void Finish();
    // Each step a thing the user does: "Edit5=Hallo" types the text into
    // the control, "RadioButton1" clicks the control, "TabSheet2" its tab.
    void Do(std::initializer_list<const char*> steps);
    // On the page of its list: types the texts and clicks "Neuer Verweis",
    // presses Enter, clicks "Neues Bild".
    void AddLink(const QString& text, const QString& target);
    void AddLine(const QString& line);
    void AddImage(const QString& fileName, const QString& caption);

    TLines Entries(const char* list);
    int Selected(const char* list);
    QString Text(const char* edit);
    TLines CodeView() { return Entries("ListBox4"); }
    // Clicks "Im Browser ansehen" on a desktop that knows no web browser;
    // the file: URLs it asked the desktop to open, caught before anything
    // starts.
    QList<QUrl> ViewInBrowser();

    TForm3 window;
};

// The steps as one action, for a table's row.
std::function<void(TWizardDriver&)> Steps(std::vector<const char*> steps);

// Returns once the missing-files check the last finish started has ended
// and its line shows the result; at once when none runs.
void WaitForMissingFilesCheck(TForm3& wizard);

// The scripted roads, from a fresh wizard up to "Fertig" (not clicked).
// A heading, two links, two text lines and one image.
void TypicalRoad(TWizardDriver& w);
// Something other than the default in every field.
void EveryOptionRoad(TWizardDriver& w);
// Umlauts, the euro sign, an arrow Windows-1252 lacks, and typed markup.
void UmlautRoad(TWizardDriver& w);

// The 16 lines a page with every default has.
TLines DefaultPage();

// The page file's bytes for these lines: Windows-1252 (the tests use only
// Latin-1 characters), each line ended by CR LF.
std::string PageFileBytes(const TLines& lines);

}  // namespace wizardtest
