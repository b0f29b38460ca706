// ListObjectsV2 pages as stores send them, and what each object goes up
// with, read without a store.
#include "transfer/s3_listing.h"

#include <gtest/gtest.h>

#include <ostream>

namespace transfer {

// As the listing tests of FTP print and compare them.
void PrintTo(const TRemoteEntry& entry, std::ostream* out);
bool operator==(const TRemoteEntry& a, const TRemoteEntry& b);

}  // namespace transfer

namespace {

using transfer::TRemoteEntry;

constexpr std::int64_t kThen = 1796865152;  // 2026-12-10T01:12:32Z

std::string Object(const std::string& key, int size) {
    return "<Contents><Key>" + key +
           "</Key><LastModified>2026-12-10T01:12:32.000Z</LastModified><ETag>&quot;x&quot;"
           "</ETag><Size>" +
           std::to_string(size) + "</Size><StorageClass>STANDARD</StorageClass></Contents>";
}

std::string Page(const std::string& inside, const char* ns = "http://s3.amazonaws.com/doc/2006-03-01/") {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ListBucketResult xmlns=\"") + ns +
           "\"><Name>seite</Name><Prefix>www/</Prefix>" + inside + "</ListBucketResult>";
}

struct TRow {
    const char* name;
    std::string reply;
    std::optional<std::vector<TRemoteEntry>> entries;
    std::string nextToken;
};

const TRow kRows[] = {
    {"Aws",
     Page("<KeyCount>3</KeyCount><MaxKeys>1000</MaxKeys><Delimiter>/</Delimiter><IsTruncated>false</IsTruncated>" +
          Object("www/index.html", 120) + Object("www/mein bild.jpg", 7) +
          "<CommonPrefixes><Prefix>www/bilder/</Prefix></CommonPrefixes>"),
     std::vector<TRemoteEntry>{
         {"index.html", false, 120, kThen}, {"mein bild.jpg", false, 7, kThen}, {"bilder", true, 0, 0}}},
    // s3rver's namespace is another; a page that goes on names the next.
    {"S3rverGoesOn",
     Page(
         "<IsTruncated>true</IsTruncated><NextContinuationToken>1/2 3</NextContinuationToken>" + Object("www/a.jpg", 1),
         "http://doc.s3.amazonaws.com/2006-03-01/"),
     std::vector<TRemoteEntry>{{"a.jpg", false, 1, kThen}}, "1/2 3"},
    // Keys elsewhere or deeper, and names no file could have, are none of its business.
    {"OnlyDirectlyBelowThePrefix",
     Page("<IsTruncated>false</IsTruncated>" + Object("andere/a.jpg", 1) + Object("www/tief/b.jpg", 1) +
          Object("www/", 1) + Object("www/..", 1) + Object("www/c.jpg", -5) +
          "<CommonPrefixes><Prefix>www/x/y/</Prefix></CommonPrefixes><CommonPrefixes><Prefix>www/ohne</Prefix>"
          "</CommonPrefixes>"),
     std::vector<TRemoteEntry>{{"c.jpg", false, 0, kThen}}},
    {"GoesOnWithoutSayingWhere", Page("<IsTruncated>true</IsTruncated>" + Object("www/a.jpg", 1)), std::nullopt},
    {"AnErrorIsNoListing", "<?xml version=\"1.0\"?><Error><Code>NoSuchBucket</Code><Message>x</Message></Error>",
     std::vector<TRemoteEntry>{}},
    {"NotWellFormed", Page(Object("www/a.jpg", 1)).substr(0, 90), std::nullopt},
    {"EntitiesRefused",
     "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaa\">]><ListBucketResult><Contents><Key>www/&a;</Key>"
     "</Contents></ListBucketResult>",
     std::nullopt},
};

TEST(S3Listing, ReadsPagesAsStoresSendThem) {
    for (const TRow& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::optional<transfer::TS3Page> page = transfer::ReadS3Page(row.reply, "www/");
        ASSERT_EQ(page.has_value(), row.entries.has_value());
        if (!page) continue;
        EXPECT_EQ(page->entries, *row.entries);
        EXPECT_EQ(page->nextToken, row.nextToken);
    }
}

TEST(S3Listing, TimesAsStoresWriteThem) {
    EXPECT_EQ(transfer::IsoTime("2026-12-10T01:12:32.000Z"), kThen);
    EXPECT_EQ(transfer::IsoTime("2026-12-10T01:12:32Z"), kThen);
    EXPECT_EQ(transfer::IsoTime("2026-12-10T01:12:32.123456Z"), kThen);
    for (const char* odd : {"2026-13-10T01:12:32Z", "2026-12-10 01:12:32Z", "2026-12-10T01:12:32.x", "", "Z"})
        EXPECT_EQ(transfer::IsoTime(odd), 0) << odd;
}

TEST(S3Listing, PagesGoBrieflyPicturesLong) {
    const struct {
        const char* name;
        const char* type;
        const char* cache;
    } kRows[] = {
        {"index.html", "text/html; charset=windows-1252", "public, max-age=300"},
        {"seiten/Über.HTM", "text/html; charset=windows-1252", "public, max-age=300"},
        {"bilder/a.JPG", "image/jpeg", "public, max-age=604800"},
        {"b.png", "image/png", "public, max-age=604800"},
        {"logo.gif", "image/gif", "public, max-age=604800"},
        {"ohne", "application/octet-stream", "public, max-age=86400"},
        {"punkt.ordner/ohne", "application/octet-stream", "public, max-age=86400"},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.name);
        const transfer::TObjectHeaders headers = transfer::ObjectHeaders(row.name);
        EXPECT_STREQ(headers.contentType, row.type);
        EXPECT_STREQ(headers.cacheControl, row.cache);
    }
}

}  // namespace
