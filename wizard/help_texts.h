#pragma once

// The fixed German help shown in the panel on the right of each input page,
// one entry per panel line.

#include <QStringList>

namespace help {

QStringList GeneralSettingsHelp();  // page "Allgemeine Einstellungen"
QStringList HeadingHelp();          // page "Überschrift"
QStringList LinksHelp();            // page "Links"
QStringList TextHelp();             // page "Text"
QStringList ImagesHelp();           // page "Bilder"

}  // namespace help
