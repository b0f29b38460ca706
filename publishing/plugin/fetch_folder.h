#pragma once

#include <QString>

// "Ordner hier": where a site fetched back goes.

// A folder in the home folder that is not there yet, named after the
// server ("~/www.beispiel.de", "~/www.beispiel.de 2", …; "~/Website" for a
// name no folder should have).
QString OfferedFolder(const QString& host);

// The folder as typed, absolute: "~/…" and a relative name from the home
// folder.
QString FolderHere(const QString& typed);
