// PROPFIND replies as WebDAV servers send them, and as no server should:
// read whole and piece by piece, without a server.
#include "transfer/propfind_reply.h"

#include <gtest/gtest.h>

#include <ostream>

namespace transfer {

// As the listing tests of FTP print and compare them.
void PrintTo(const TRemoteEntry& entry, std::ostream* out);
bool operator==(const TRemoteEntry& a, const TRemoteEntry& b);

}  // namespace transfer

namespace {

using transfer::TRemoteEntry;

// Thu, 10 Dec 2026 00:11:35 GMT
constexpr std::int64_t kThen = 1796861495;

std::string Reply(const std::string& responses) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<D:multistatus xmlns:D=\"DAV:\">" + responses +
           "</D:multistatus>";
}

std::string Response(const std::string& href, const std::string& props, const char* status = "HTTP/1.1 200 OK") {
    return "<D:response><D:href>" + href + "</D:href><D:propstat><D:prop>" + props + "</D:prop><D:status>" + status +
           "</D:status></D:propstat></D:response>";
}

const std::string kFolder = "<D:resourcetype><D:collection/></D:resourcetype>";
const std::string kTime = "<D:getlastmodified>Thu, 10 Dec 2026 00:11:35 GMT</D:getlastmodified>";
std::string Size(int bytes) {
    return "<D:getcontentlength>" + std::to_string(bytes) + "</D:getcontentlength>";
}

std::string Nested(int depth) {
    std::string nested;
    for (int i = 0; i < depth; ++i) nested += "<D:x>";
    for (int i = 0; i < depth; ++i) nested += "</D:x>";
    return nested;
}

struct TRow {
    const char* name;
    std::string reply;
    std::optional<std::vector<TRemoteEntry>> entries;  // nullopt: not read
    bool selfIsFolder = true;
};

const TRow kRows[] = {
    // Apache's mod_dav_fs: a namespace per response, props it was not asked for.
    {"Apache",
     "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<D:multistatus xmlns:D=\"DAV:\">\n<D:response xmlns:lp1=\"DAV:\" "
     "xmlns:lp2=\"http://apache.org/dav/props/\">\n<D:href>/webdav/www/</D:href>\n<D:propstat>\n<D:prop>\n"
     "<lp1:resourcetype><D:collection/></lp1:resourcetype>\n<lp1:getlastmodified>Thu, 10 Dec 2026 00:11:35 "
     "GMT</lp1:getlastmodified>\n</D:prop>\n<D:status>HTTP/1.1 200 OK</D:status>\n</D:propstat>\n</D:response>\n"
     "<D:response xmlns:lp1=\"DAV:\" xmlns:lp2=\"http://apache.org/dav/props/\">\n<D:href>/webdav/www/a.txt</D:href>"
     "\n<D:propstat>\n<D:prop>\n<lp1:resourcetype/>\n<lp1:getcontentlength>579</lp1:getcontentlength>\n"
     "<lp1:getlastmodified>Thu, 10 Dec 2026 00:11:35 GMT</lp1:getlastmodified>\n<lp2:executable>F</lp2:executable>\n"
     "</D:prop>\n<D:status>HTTP/1.1 200 OK</D:status>\n</D:propstat>\n</D:response>\n</D:multistatus>\n",
     std::vector<TRemoteEntry>{{"a.txt", false, 579, kThen}}},
    // rclone: the length a folder lacks in a propstat of its own, not found.
    {"Rclone",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><D:multistatus xmlns:D=\"DAV:\"><D:response><D:href>/webdav/www/"
     "</D:href><D:propstat><D:prop><D:resourcetype><D:collection xmlns:D=\"DAV:\"/></D:resourcetype>" +
         kTime +
         "</D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat><D:propstat><D:prop><D:getcontentlength>"
         "</D:getcontentlength></D:prop><D:status>HTTP/1.1 404 Not Found</D:status></D:propstat></D:response>"
         "<D:response><D:href>/webdav/www/%C3%9Cber%20a.txt</D:href><D:propstat><D:prop><D:resourcetype>"
         "</D:resourcetype><D:getcontentlength>3</D:getcontentlength>" +
         kTime + "</D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response></D:multistatus>",
     std::vector<TRemoteEntry>{{"Über a.txt", false, 3, kThen}}},
    {"WholeAddressesAndAnotherPrefix",
     "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"><response><href>https://h.de:8443/webdav/www</href>"
     "<propstat><prop><resourcetype><collection/></resourcetype></prop><status>HTTP/1.1 200 OK</status></propstat>"
     "</response><response><href>https://h.de/webdav/www/bilder/</href><propstat><prop><resourcetype><collection/>"
     "</resourcetype></prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>",
     std::vector<TRemoteEntry>{{"bilder", true, 0, 0}}},
    {"NameSpellingsTheSameBytes",
     Reply(Response("/webdav/%77ww/", kFolder) + Response("/webdav/www/mein%20web/", kFolder) +
           Response("/webdav/www/a%2bb.jpg", Size(2)) + Response("/webdav/www/a+b%2Bc.jpg", Size(3))),
     std::vector<TRemoteEntry>{{"mein web", true, 0, 0}, {"a+b.jpg", false, 2, 0}, {"a+b+c.jpg", false, 3, 0}}},
    // What the listing has no business with: elsewhere on the server, deeper
    // down, a name that is a path, a status that is no success.
    {"OnlyWhatLiesDirectlyInside",
     Reply(Response("/webdav/www/", kFolder) + Response("/webdav/other.jpg", Size(1)) +
           Response("/webdav/www/bilder/tief.jpg", Size(1)) + Response("/webdav/www/..", kFolder) +
           Response("/webdav/www/a%2Fb", Size(1)) + Response("/webdav/www/nul%00", Size(1)) +
           Response("/webdav/www/%zz", Size(1)) + Response("relative.jpg", Size(1)) +
           Response("/webdav/www/weg.jpg", Size(5), "HTTP/1.1 404 Not Found") + "<D:response><D:propstat><D:prop>" +
           Size(1) + "</D:prop></D:propstat></D:response>" + Response("/webdav/www/ok.jpg", Size(7) + kTime)),
     std::vector<TRemoteEntry>{{"weg.jpg", false, 0, 0}, {"ok.jpg", false, 7, kThen}}},
    {"OddValuesLeftAtNothing",
     Reply(Response("/webdav/www/a.jpg",
                    "<D:getcontentlength>-1</D:getcontentlength><D:getlastmodified>gestern</D:getlastmodified>") +
           Response("/webdav/www/b.jpg",
                    "<D:getcontentlength>99999999999999999999</D:getcontentlength>"
                    "<D:getlastmodified>Thu, 32 Dec 2026 00:11:35 GMT</D:getlastmodified>") +
           Response("/webdav/www/c.jpg", "<D:getcontentlength> 12 </D:getcontentlength>")),
     std::vector<TRemoteEntry>{{"a.jpg", false, 0, 0}, {"b.jpg", false, 0, 0}, {"c.jpg", false, 12, 0}}},
    // The kind and the values only in DAV:'s own names and places.
    {"OthersNamespacesAndPlacesDoNotCount",
     Reply(Response("/webdav/www/x", "<D:resourcetype><y:collection xmlns:y=\"urn:y\"/></D:resourcetype>") +
           Response("/webdav/www/z",
                    "<y:getcontentlength xmlns:y=\"urn:y\">5</y:getcontentlength><D:x>" + Size(6) + "</D:x>")),
     std::vector<TRemoteEntry>{{"x", false, 0, 0}, {"z", false, 0, 0}}},
    {"ResourceAskedForIsAFile", Reply(Response("/webdav/www", Size(4))), std::vector<TRemoteEntry>{}, false},
    {"NotWellFormed", Reply(Response("/webdav/www/a", Size(1))).substr(0, 120), std::nullopt},
    {"NoMultistatus", "<?xml version=\"1.0\"?><html xmlns=\"DAV:\"><response/></html>", std::nullopt},
    {"NoXmlAtAll", "<!DOCTYPE html><html><body>Not Found</body></html>", std::nullopt},
    {"EntitiesRefused",
     "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
     "<D:multistatus xmlns:D=\"DAV:\"><D:response><D:href>/webdav/www/&b;</D:href></D:response></D:multistatus>",
     std::nullopt},
    {"NestedBeyondReason", Reply(Nested(100)), std::nullopt},
};

TEST(PropfindReply, ReadsWhatServersSendAndRefusesTheRest) {
    for (const TRow& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::optional<transfer::TPropfindListing> whole = transfer::ReadPropfind(row.reply, "/webdav/www/");
        ASSERT_EQ(whole.has_value(), row.entries.has_value());
        // Piece by piece, as the line brings it, the same.
        transfer::TPropfindReader reader("/webdav/www");
        for (const char byte : row.reply)
            if (!reader.Feed(std::string_view(&byte, 1))) break;
        const std::optional<transfer::TPropfindListing> pieces = reader.Finish();
        ASSERT_EQ(pieces.has_value(), row.entries.has_value());
        if (!whole) continue;
        EXPECT_EQ(whole->entries, *row.entries);
        EXPECT_EQ(pieces->entries, *row.entries);
        if (whole->self) EXPECT_EQ(whole->self->folder, row.selfIsFolder);
    }
}

TEST(PropfindReply, AskedFileIsItself) {
    const std::optional<transfer::TPropfindListing> listing =
        transfer::ReadPropfind(Reply(Response("/webdav/www/a%20b.jpg", Size(9) + kTime)), "/webdav/www/a%20b.jpg");
    ASSERT_TRUE(listing && listing->self);
    EXPECT_EQ(*listing->self, (TRemoteEntry{"", false, 9, kThen}));
    EXPECT_TRUE(listing->entries.empty());
}

}  // namespace
