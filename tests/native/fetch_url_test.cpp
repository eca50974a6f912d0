// Splitting fetch urls and reading the type hint and length of a reply.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "net/fetch_url.h"

namespace orvix::net {
namespace {

struct SplitCase {
    const char* url;
    FetchScheme scheme;
    const char* user;
    const char* password;
    const char* host;
    std::uint16_t port;
    const char* object;
};

TEST(FetchUrl, SplitsSchemeCredentialsHostPortAndObject) {
    const SplitCase cases[] = {
        {"http://example.com/a.jpg", FetchScheme::Http, "", "", "example.com", 80, "/a.jpg"},
        {"https://example.com/a.jpg", FetchScheme::Https, "", "", "example.com", 443, "/a.jpg"},
        {"ftp://example.com/pub/a.tif", FetchScheme::Ftp, "", "", "example.com", 21, "/pub/a.tif"},
        {"HTTP://Example.com/A.JPG", FetchScheme::Http, "", "", "Example.com", 80, "/A.JPG"},
        {"hTtPs://h/", FetchScheme::Https, "", "", "h", 443, "/"},
        {"FTP://h/x", FetchScheme::Ftp, "", "", "h", 21, "/x"},
        {"http://h:8080/x", FetchScheme::Http, "", "", "h", 8080, "/x"},
        {"https://h:8443/x", FetchScheme::Https, "", "", "h", 8443, "/x"},
        {"ftp://h:2121/x", FetchScheme::Ftp, "", "", "h", 2121, "/x"},
        // Port text that is no number gives 80 for every scheme.
        {"https://h:abc/x", FetchScheme::Https, "", "", "h", 80, "/x"},
        {"ftp://h:/x", FetchScheme::Ftp, "", "", "h", 80, "/x"},
        {"ftp://h:-21/x", FetchScheme::Ftp, "", "", "h", 80, "/x"},
        {"http://h:0/x", FetchScheme::Http, "", "", "h", 80, "/x"},
        {"https://h:65535/x", FetchScheme::Https, "", "", "h", 65535, "/x"},
        {"ftp://user:secret@h/f.gif", FetchScheme::Ftp, "user", "secret", "h", 21, "/f.gif"},
        {"ftp://user:@h:2121/f", FetchScheme::Ftp, "user", "", "h", 2121, "/f"},
        {"http://:pw@h/f", FetchScheme::Http, "", "pw", "h", 80, "/f"},
        {"http://u:p:q@h/f", FetchScheme::Http, "u", "p:q", "h", 80, "/f"},
        // Only the authority, up to the first "/", is taken apart.
        {"http://h/a/b?x=1&y=u:p@q#frag", FetchScheme::Http, "", "", "h", 80, "/a/b?x=1&y=u:p@q#frag"},
        {"http://h/%E4%B8%AD%20x y", FetchScheme::Http, "", "", "h", 80, "/%E4%B8%AD%20x y"},
        {"http://127.0.0.1:5000/img.php?id=3", FetchScheme::Http, "", "", "127.0.0.1", 5000, "/img.php?id=3"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.url);
        const FetchUrl u = splitFetchUrl(c.url);
        EXPECT_EQ(u.scheme, c.scheme);
        EXPECT_EQ(u.user, c.user);
        EXPECT_EQ(u.password, c.password);
        EXPECT_EQ(u.host, c.host);
        EXPECT_EQ(u.port, c.port);
        EXPECT_EQ(u.object, c.object);
    }
}

TEST(FetchUrl, RefusesWhatCannotBeFetched) {
    const char* cases[] = {
        "",
        "C:\\pictures\\a.jpg",
        "/home/a.jpg",
        "file:///C:/a.jpg",
        "gopher://h/a",
        "http:/h/a",
        " http://h/a",
        "http://h",              // no object
        "https://h:8443",        // no object after the port either
        "ftp://user@h/a",        // at sign without a colon
        "http://user@h:80/a",    // the colon belongs to the port, not the credentials
        "http:///a",             // no host
        "http://u:p@/a",         // no host after the credentials
        "http://:80/a",          // only a port
        "http://h:65536/a",      // would wrap to port 0
        "http://h:99999999999999999999/a",
    };
    for (const char* url : cases) {
        SCOPED_TRACE(url);
        EXPECT_THROW(splitFetchUrl(url), FetchError);
    }
}

TEST(FetchUrl, TypeHintFromContentType) {
    const std::pair<const char*, const char*> cases[] = {
        {"image/jpeg", "jpeg"},
        {"image/png", "png"},
        {"application/octet-stream", "octet-stream"},
        {"text/html; charset=utf-8", "html; charset=utf-8"},
        {"image/svg+xml", "svg+xml"},
        {"a/b/c", "b/c"},
        {"image/", ""},
        {"jpeg", ""},
        {"", ""},
    };
    for (const auto& [value, hint] : cases) EXPECT_EQ(typeHintFromContentType(value), hint) << value;
}

TEST(FetchUrl, TypeHintFromFtpObject) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pub/Scan.TIF", "tif"},
        {"/a.b/c.JPEG", "jpeg"},
        {"/archive.tar.gz", "gz"},
        {"/x.abcdefghijklmnop", "abcdefghij"},  // at most 10 characters
        {"/dir.d/noext", ""},                   // a dot in a folder is no extension
        {"/trailing.", ""},
        {"/", ""},
    };
    for (const auto& [object, hint] : cases) EXPECT_EQ(typeHintFromFtpObject(object), hint) << object;
}

TEST(FetchUrl, AnnouncedLength) {
    const std::pair<const char*, std::uint64_t> cases[] = {
        {"0", 0},   {"1234", 1234}, {"", 0},    {"12a", 0},
        {" 5", 0},  {"-5", 0},      {"0x10", 0}, {"18446744073709551615", 18446744073709551615ull},
        {"18446744073709551616", 0},
    };
    for (const auto& [text, length] : cases) EXPECT_EQ(announcedLength(text), length) << text;
}

}  // namespace
}  // namespace orvix::net
