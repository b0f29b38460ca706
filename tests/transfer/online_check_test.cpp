// The check after a publish, against a real HTTP server on 127.0.0.1 that
// serves the server's folder as a web host would.
#include "transfer/online_check.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "support/files.h"
#include "support/http_server.h"
#include "support/server_process.h"
#include "transfer/transfer_messages.h"

namespace {

using testsupport::WriteFileBytes;
using TOutcome = transfer::TOnlineCheck::TOutcome;
using transfer::TFault;

// The page as written here: Windows-1252 umlauts.
const std::string kPage =
    "<html><body>Gr\xfc\xdf"
    "e aus K\xf6ln</body></html>\r\n";

struct TRow {
    const char* name;
    std::string online;   // what the server's folder holds as index.html
    std::string charset;  // what the server announces for text
    std::string path;     // asked for on the server; "-" for no server there at all
    TOutcome outcome;
    std::optional<TFault> failure;
    bool warned;  // that the charset shows umlauts wrong
};

const TRow kRows[] = {
    {"Equal", kPage, "", "index.html", TOutcome::Same, std::nullopt, false},
    {"EqualAtTheFolder", kPage, "windows-1252", "", TOutcome::Same, std::nullopt, false},
    {"Different", kPage + "<!-- alt -->", "", "index.html", TOutcome::Different, std::nullopt, false},
    {"Utf8Announced", kPage, "UTF-8", "index.html", TOutcome::Same, std::nullopt, true},
    {"Latin1Announced", kPage, "ISO-8859-1", "index.html", TOutcome::Same, std::nullopt, false},
    {"NotThere", kPage, "", "fehlt.html", TOutcome::Failed, TFault::PageNotFound, false},
    {"BadRequest", kPage, "", "status/400", TOutcome::Failed, TFault::ServerReportsError, false},
    {"Unreachable", kPage, "", "-", TOutcome::Failed, TFault::OnlineUnreachable, false},
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
    EXPECT_EQ(check.outcome, row.outcome) << check.line;
    EXPECT_EQ(check.failure, row.failure) << check.line;
    EXPECT_EQ(check.warning, row.warned ? transfer::Text(transfer::TText::WrongCharset, {row.charset}) : "");
}

INSTANTIATE_TEST_SUITE_P(Rows, OnlineCheck, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<TRow>& info) { return std::string(info.param.name); });

}  // namespace
