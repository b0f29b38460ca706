// The line the window shows after a publish, or a fetch.
#include "transfer/result_line.h"

#include <gtest/gtest.h>

namespace {

using transfer::TFault;

// What stays on the server beside a new file, noted.
const transfer::TTransferError kNote =
    transfer::TTransferError(TFault::NotRemoved, "a.tavirel-alt").Then(TFault::OldFileBeside, {"a", "a.tavirel-alt"});

TEST(ResultLine, CountsWhatWasSentAndNamesWhatWasNot) {
    const struct {
        std::vector<std::string> sent, unchanged;
        const char* error;  // as the error display words it; "" for none
        bool cancelled;
        std::string line;
        std::vector<transfer::TLeftOut> leftOut = {};
        std::vector<transfer::TTransferError> notes = {};
        std::vector<std::string> notCleanable = {};
        pictures::TPicturesDone pictures = {};
    } kRows[] = {
        {{"b", "c", "d"}, {"a"}, "", false, "3 Dateien übertragen, 1 unverändert"},
        {{"a"}, {"b", "c", "d"}, "", false, "1 Datei übertragen, 3 unverändert"},
        {{}, {"a", "b", "c", "d"}, "", false, "0 Dateien übertragen, 4 unverändert"},
        {{"a", "b", "c", "d"}, {}, "", false, "4 Dateien übertragen, 0 unverändert"},
        // After a stop its cause first, what did not go up last, in the plan's order.
        {{"a"}, {"c"}, "", true, "Abgebrochen. 1 Datei übertragen, 1 unverändert; nicht übertragen: b, d"},
        {{},
         {},
         "Verbindung abgebrochen",
         false,
         "Gezeigt: Verbindung abgebrochen 0 Dateien übertragen, 0 unverändert; nicht übertragen: a, b, c, d"},
        {{"a", "b"},
         {},
         "Veröffentlichen abgebrochen",
         true,
         "Gezeigt: Veröffentlichen abgebrochen 2 Dateien übertragen, 0 unverändert; nicht übertragen: c, d"},
        // Swapped for a link to elsewhere once the plan was made: named with
        // its reason, also when all else went well.
        {{"a", "b"},
         {"d"},
         "",
         false,
         "2 Dateien übertragen, 1 unverändert; nicht übertragen: c (Verknüpfung nach außerhalb des Ordners)",
         {{"c", core::TNameFault::LinkOutside}}},
        {{"a"},
         {},
         "",
         true,
         "Abgebrochen. 1 Datei übertragen, 0 unverändert; nicht übertragen: b (fehlt), c, d",
         {{"b", core::TNameFault::Missing}}},
        // A note on what stays on the server comes last, after a stop too.
        {{"a", "b", "c", "d"},
         {},
         "",
         false,
         std::string("4 Dateien übertragen, 0 unverändert. ") + kNote.what(),
         {},
         {kNote}},
        {{"a"},
         {},
         "Verbindung abgebrochen",
         false,
         std::string("Gezeigt: Verbindung abgebrochen 1 Datei übertragen, 0 unverändert; nicht übertragen: b, c, d. ") +
             kNote.what(),
         {},
         {kNote}},
        // What the pictures' rebuilds did after the counts; one that cannot
        // be rebuilt named with its reason, after a stop too.
        {{"a", "b"},
         {"c"},
         "",
         false,
         "2 Dateien übertragen, 1 unverändert; 14 Fotos verkleinert (52,3 MB → 3,4 MB), Ortsangaben aus 9 entfernt; "
         "nicht übertragen: d (Ortsangaben lassen sich nicht sicher entfernen)",
         {},
         {},
         {"d"},
         {14, 52'345'678, 3'350'000, 9}},
        {{"a"},
         {},
         "",
         true,
         "Abgebrochen. 1 Datei übertragen, 0 unverändert; 1 Foto verkleinert (0,1 MB → 0,1 MB); nicht übertragen: b "
         "(Ortsangaben lassen sich nicht sicher entfernen), c, d",
         {},
         {},
         {"b"},
         {1, 120'000, 40'000, 0}},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.line);
        transfer::TPublishPlan plan;
        plan.files = {"a", "b", "c", "d"};
        transfer::TPublishResult result;
        result.sent = row.sent;
        result.unchanged = row.unchanged;
        if (*row.error != '\0')
            result.error = transfer::TTransferError(TFault::NotWritten, "a", transfer::TCause::ConnectionCut);
        result.cancelled = row.cancelled;
        result.leftOut = row.leftOut;
        result.notes = row.notes;
        result.notCleanable = row.notCleanable;
        result.pictures = row.pictures;
        EXPECT_EQ(transfer::ResultLine(plan, result, std::string("Gezeigt: ") + row.error), row.line);
    }
}

TEST(ResultLine, FetchCountsPagesAndFilesAndNamesWhatStayed) {
    using TWhy = transfer::TNotFetched::TWhy;
    const struct {
        std::size_t pages, files;
        bool stopped, cancelled;
        std::vector<transfer::TNotFetched> stays;
        std::string line;
    } kRows[] = {
        {3,
         41,
         false,
         false,
         {{"alt.html", TWhy::NotOurPage}},
         "3 Seiten, 41 Dateien geholt; nicht geholt: alt.html "
         "(keine Seite von HTML Tavirel)"},
        {1, 1, false, false, {}, "1 Seite, 1 Datei geholt"},
        {1,
         0,
         false,
         false,
         {{".htaccess", TWhy::Name, core::TNameFault::Hidden},
          {"b\x01.jpg", TWhy::Name, core::TNameFault::Invalid},
          {"bilder/x.jpg", TWhy::LinkOnServer},
          {"film.mp4", TWhy::TooLarge},
          {"geheim.jpg", TWhy::Refused},
          {"a.jpg", TWhy::AlreadyHere}},
         "1 Seite, 0 Dateien geholt; nicht geholt: .htaccess (versteckte Datei), b%01.jpg (ungültiger Dateiname), "
         "bilder/x.jpg (Verknüpfung auf dem Server), film.mp4 (zu groß), geheim.jpg (vom Server nicht "
         "herausgegeben), a.jpg (liegt hier schon anders vor)"},
        {2, 5, true, false, {}, "Gezeigt: Verbindung abgebrochen 2 Seiten, 5 Dateien geholt"},
        {0, 0, false, true, {}, "Abgebrochen. 0 Seiten, 0 Dateien geholt"},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.line);
        transfer::TFetchResult result;
        result.pages.resize(row.pages);
        result.files.resize(row.files);
        result.notFetched = row.stays;
        if (row.stopped)
            result.error = transfer::TTransferError(TFault::NotFetched, "a", transfer::TCause::ConnectionCut);
        result.cancelled = row.cancelled;
        EXPECT_EQ(transfer::FetchResultLine(result, "Gezeigt: Verbindung abgebrochen"), row.line);
    }
}

}  // namespace
