#pragma once

#include <string>

#include "transfer/fetch.h"
#include "transfer/publish.h"

namespace transfer {

// What a publish did, in one line: "3 Dateien übertragen, 12 unverändert",
// for a site the pages it holds first ("4 Seiten, 23 Dateien übertragen, 61
// unverändert");
// after a failure or a cancel its cause first, `shownError` (the result's
// error as the error display words it) or "Abgebrochen.", and the files that
// did not go up last, which the next "Veröffentlichen" sends. What the
// rebuilds of the pictures sent did follows the counts ("14 Fotos
// verkleinert (52,3 MB → 3,4 MB), Ortsangaben aus 9 entfernt"). A file left
// out when its turn came, or a picture that cannot be rebuilt, is named with
// its reason in either case; the result's notes after all. Names printed with core::PrintableName; UTF-8.
std::string ResultLine(const TPublishPlan& plan, const TPublishResult& result, const std::string& shownError);

// What a fetch did, in the same shape: "3 Seiten, 41 Dateien geholt; nicht
// geholt: alt.html (keine Seite von HTML Tavirel)"; after a failure or a
// cancel its cause first, and what came so far.
std::string FetchResultLine(const TFetchResult& result, const std::string& shownError);

// The words after a name that stays on the server: "(keine Seite von HTML
// Tavirel)", "(versteckte Datei)", …
std::string NotFetchedWords(const TNotFetched& file);

}  // namespace transfer
