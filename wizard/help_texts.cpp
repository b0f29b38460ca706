#include "wizard/help_texts.h"

#include <cstddef>

namespace help {
namespace {

// The lines are kept exactly as the panels show them: inner quotes, doubled
// spaces, trailing spaces and the indented lines belong to the text.

// "Allgemeine Einstellungen": 37 lines.
constexpr const char* kGeneralSettingsHelp[] = {
    "Hier können Sie den Hintergrund für",
    "ihre Homepage wählen.",
    "Hierbei müssen Sie unbedingt beachten:",
    "",
    "- Groß-/Kleinschreibung",
    "- Korrekter Dateiname",
    "- Korrekter Pfad",
    "- Es können nur GIF und JPG Bilder",
    "  dargestellt werden.",
    "_______________________________",
    "",
    "",
    "Was zum Pfad -",
    "Der Pfad ist der Ordner, in der die Datei",
    "abgelegt ist. Heißt ihr Hintergrund z.B",
    "\"bg.jpg\", dann  brauchen Sie nur",
    "\"bg.jpg\" in das Textfeld links",
    "einzugeben. Liegt der Hintergrund aber",
    "in einem anderen Ordner, z.B \"bilder\"",
    "(MUSS UNBEDINGT IM SELBEN",
    "ORDNER WIE DIE ZU ERSTELLENDE",
    "SEITE LIEGEN!!!!), dann geben Sie",
    "in das Textfeld \"bilder/bg.jpg\" ein.",
    "_______________________________",
    "Sie können auch CSS Style Sheets",
    "verwenden, um ihre Links zu ver-",
    "schönern. Dazu aktivieren Sie das",
    "Kontrollkästchen \"CSS Style sheets",
    "verwenden\". jetzt können Sie Farbe",
    "und Form in verschiedenen Situationen",
    "ändern. Alle Farben der HTML Sprache",
    "verlaufen nach dem Hexadezimal-",
    "System.",
    "",
    "Sie können Außerdem die Entfernung",
    "zum Bildschirmrand regulieren. die",
    "Entfernung wird in Pixel gemessen.",
};

// "Überschrift": 25 lines.
constexpr const char* kHeadingHelp[] = {
    "Hier können Sie die Überschriften",
    "für ihre Website wählen. Wobei",
    "Überschrift 1 Der Titel (in diesem",
    "Formular \"Assistent\") ist.",
    "Überschrift 2 ist die eigentliche",
    "Überschrift, welche sie in ver-",
    "schiedenen Größen ausgeben",
    "können. ( klein[1]-sehr groß[6] )",
    "Sie können auch ein Bild",
    "einfügen oder den Text komplett",
    "mit einem Bild ersetzen. geben",
    "Sie dazu den Dateinamen des",
    "Bildes ein.",
    "Sie können Auch ein Eckbild",
    "(Bild links neber der Überschrift",
    "und über den Links) einfügen.",
    "Aktivieren sie dafür das Kontroll-",
    "kästchen \"Eckbild\". Geben Sie",
    "dann den Dateinamen des Bildes",
    "ein. Danach können Sie aber",
    "müssen nicht die Minimalhöhe",
    "einstellen.",
    "Die Minimale Höhe bezieht sich",
    "nicht auf das Bild, sondern auf seine",
    "Position.",
};

// "Links": 37 lines.
constexpr const char* kLinksHelp[] = {
    "Hier können Sie die Links für ihre",
    "Website erstellen.",
    "",
    "Geben Sie zuerst den Verweistext",
    "für den Link ein. (z.B. \"Home\")",
    "Dann das Verweisziel. (z.B \"Home.html)",
    "Klicken Sie jetzt auf die",
    "Schaltfläche \"Neuer Link\".",
    "Sie können diesen Vorgang so oft",
    "wie nötig wiederhohlen.",
    "Jetzt können Sie sich entscheiden,",
    "ob sie Dots (Menübildpunkte) haben",
    "wollen. Dafür müssen sie das",
    "Kontrollkästchen \"Dots\" markieren ",
    "(Klick). Danach müssen sie den",
    "Dateinamen für die Dots eingeben.",
    "Der Link-Hintergrund ist optional.",
    "Mit ihm werden Die Links mit einem",
    "Bild hinterlegt. Um ihn zu verwenden",
    "aktivieren Sie das Kontrollkästchen",
    "\"Link-Hintergrund\" Auch hier müssen",
    "sie auch einen Dateinamen eines",
    "Bildes eingeben. (z.B. \"linkbg.jpg\")",
    "Die Daten können durch einen",
    "Klick auf einen Eintrag geändert",
    "werden. Es ist außerdem möglich,",
    "einen Eintrag zu Löschen.",
    "",
    "\"Seite bearbeiten\" (Strg+E) öffnet",
    "die Seite des gewählten Links oder",
    "beginnt sie neu.",
    "",
    "Wichtiger Hinweis:",
    "Achten Sie darauf, dass sie nur ein",
    "GIF- oder JPG Bild verwenden.",
    "Andere Formate können nicht",
    "Dargestellt werden.",
};

// "Text": 27 lines.
constexpr const char* kTextHelp[] = {
    "Hier können Sie den Text für",
    "Ihre Website schreiben.",
    "",
    "Geben Sie den Text in das",
    "Textfeld ein. Bestätigen sie",
    "jedes Satzende mit der Eingabe-",
    "taste. Das Textfeld wird auto-",
    "matisch gelöscht und der Satz",
    "in ein Listenfeld das sich unter",
    "dem Textfeld befindet eingetragen",
    "Sie können auch ein Bild einfügen.",
    "Geben Sie dazu den Dateinamen",
    "des Bildes ein. (z.B. \"bild.jpg\")",
    "Sie können Auch die Eigenschaften",
    "des Bildes ändern, dazu klicken",
    "Sie auf eine Eigenschaft.",
    "Die Schaltfläche erscheint",
    "grau. Sie können die",
    "Eigenschaften jederzeit ändern oder",
    "deaktivieren. Klicken Sie jetzt",
    "auf die Schaltfläche Einfügen.",
    "Im Text erscheinen HTML Tags,",
    "lassen Sie sich davon nicht beirren.",
    "",
    "Vorsicht: Bei Bildern im Text",
    "               empfiehlt es sich nicht, die",
    "               Eigenschaften zu verwenden.",
};

// "Bilder": 6 lines.
constexpr const char* kImagesHelp[] = {
    "Hier können Sie noch Bilder unter Die",
    "Links setzen. Geben Sie den Datei-",
    "namen und optional einen Bildtext",
    "ein und klicken Sie auf die Schalt-",
    "fläche \"Neues Bild\". ",
    "Es ist möglich, Einträge zu Löschen.",
};
template <std::size_t N>
QStringList ToLines(const char* const (&lines)[N]) {
    QStringList result;
    result.reserve(static_cast<qsizetype>(N));
    for (const char* line : lines) result.append(QString::fromUtf8(line));
    return result;
}

}  // namespace

QStringList GeneralSettingsHelp() {
    return ToLines(kGeneralSettingsHelp);
}
QStringList HeadingHelp() {
    return ToLines(kHeadingHelp);
}
QStringList LinksHelp() {
    return ToLines(kLinksHelp);
}
QStringList TextHelp() {
    return ToLines(kTextHelp);
}
QStringList ImagesHelp() {
    return ToLines(kImagesHelp);
}

}  // namespace help
