// The check after a publish, against a real HTTP server on 127.0.0.1 that
// serves the server's folder as a web host would.
#include "transfer/online_check.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/files.h"
#include "support/http_server.h"
#include "support/server_process.h"

namespace {

using testsupport::WriteFileBytes;
using TOutcome = transfer::TOnlineCheck::TOutcome;

// The page as written here: Windows-1252 umlauts.
const std::string kPage =
    "<html><body>Gr\xfc\xdf"
    "e aus K\xf6ln</body></html>\r\n";

struct TRow {
    const char* name;
    std::string online;   // what the server's folder holds as index.html
    std::string charset;  // what the server announces for text
    std::string path;     // asked for on the server; "" for no server there at all
    TOutcome outcome;
    std::string line;     // "*" stands for the address
    const char* warning;  // part of it; "" for none
};

const TRow kRows[] = {
    {"Equal", kPage, "", "index.html", TOutcome::Same, "Online – stimmt mit der Seite überein", ""},
    {"EqualAtTheFolder", kPage, "windows-1252", "", TOutcome::Same, "Online – stimmt mit der Seite überein", ""},
    {"Different", kPage + "<!-- alt -->", "", "index.html", TOutcome::Different,
     "Online, aber anders als die Seite (Zwischenspeicher?)", ""},
    {"Utf8Announced", kPage, "UTF-8", "index.html", TOutcome::Same, "Online – stimmt mit der Seite überein",
     "Der Server gibt die Seite als „UTF-8“ aus; Umlaute werden dort falsch angezeigt"},
    {"Latin1Announced", kPage, "ISO-8859-1", "index.html", TOutcome::Same, "Online – stimmt mit der Seite überein", ""},
    {"NotThere", kPage, "", "fehlt.html", TOutcome::Failed,
     "Nicht online: der Server meldet für „*“ den Fehler 404 (nicht gefunden).", ""},
    {"BadRequest", kPage, "", "status/400", TOutcome::Failed, "Nicht online: der Server meldet für „*“ den Fehler 400.",
     ""},
    {"Unreachable", kPage, "", "-", TOutcome::Failed, "Nicht online: der Server von „*“ ist nicht erreichbar.", ""},
};

void PrintTo(const TRow& row, std::ostream* out) {
    *out << row.name;
}

class OnlineCheck : public testing::TestWithParam<TRow> {};

TEST_P(OnlineCheck, ComparesWhatAVisitorGets) {
    const TRow& row = GetParam();
    testsupport::TWorkDir work;
    testsupport::MakeDirectories(work.path() + "/server");
    WriteFileBytes(work.path() + "/server/index.html", row.online);
    WriteFileBytes(work.path() + "/index.html", kPage);
    std::unique_ptr<testsupport::THttpServer> http;
    std::string address;
    if (row.path == "-") {
        address = "http://127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort()) + "/";
    } else {
        http = std::make_unique<testsupport::THttpServer>(work.path() + "/server", row.charset);
        address = http->Url(row.path);
    }
    const transfer::TOnlineCheck check = transfer::CheckOnline(address, work.path() + "/index.html");
    std::string line = row.line;
    if (const std::size_t star = line.find('*'); star != std::string::npos) line.replace(star, 1, address);
    EXPECT_EQ(check.line, line);
    EXPECT_EQ(check.outcome, row.outcome);
    if (std::string(row.warning).empty()) {
        EXPECT_EQ(check.warning, "");
    } else {
        EXPECT_NE(check.warning.find(row.warning), std::string::npos) << check.warning;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, OnlineCheck, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<TRow>& info) { return std::string(info.param.name); });

}  // namespace
