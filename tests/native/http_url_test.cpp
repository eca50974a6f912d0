#include <gtest/gtest.h>

#include <string>

#include "net/url.h"

namespace orvix::net {
namespace {

struct UrlCase {
    const char* name;
    std::string url;
    std::string host;
    std::string portText;
    std::uint16_t port;
    std::string hostHeader;
    std::string target;
};

class UrlSplitting : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlSplitting, GivesHostPortAndTarget) {
    const UrlCase& c = GetParam();
    const Url url = splitUrl(c.url);
    EXPECT_EQ(url.host, c.host);
    EXPECT_EQ(url.portText, c.portText);
    EXPECT_EQ(url.port, c.port);
    EXPECT_EQ(url.hostHeader, c.hostHeader);
    EXPECT_EQ(url.target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UrlSplitting,
    ::testing::Values(
        UrlCase{"PortQueryFragment", "http://h:8080/up?a=1#frag", "h", "8080", 8080, "h:8080", "/up?a=1"},
        UrlCase{"OnlyHost", "http://h", "h", "", 80, "h", "/"},
        UrlCase{"HostAndSlash", "http://h/", "h", "", 80, "h", "/"},
        UrlCase{"Port80NotInHostHeader", "http://h:80/x", "h", "80", 80, "h", "/x"},
        UrlCase{"Port080KeptAsWritten", "http://h:080/x", "h", "080", 80, "h:080", "/x"},
        UrlCase{"SchemeAnyCase", "HtTp://Example.COM/A", "Example.COM", "", 80, "Example.COM", "/A"},
        UrlCase{"UserInfoDropped", "http://user:pw@h:81/p", "h", "81", 81, "h:81", "/p"},
        UrlCase{"UserInfoWithAtInPassword", "http://u:p@ss@h/p", "h", "", 80, "h", "/p"},
        UrlCase{"Backslashes", "http:\\\\h\\up\\file.asp", "h", "", 80, "h", "/up/file.asp"},
        // 0x81 0x5C is one GBK character: its trail byte is not a separator.
        UrlCase{"GbkTrailByteKept", "http://h/\x81\x5C\\a", "h", "", 80, "h", "/\x81\x5C/a"},
        UrlCase{"GbkTextThenBackslash", "http://h/\xC4\xE3\\b", "h", "", 80, "h", "/\xC4\xE3/b"},
        UrlCase{"QueryWithoutPath", "http://h?a=1", "h", "", 80, "h", "/?a=1"},
        UrlCase{"FragmentOnly", "http://h#top", "h", "", 80, "h", "/"},
        UrlCase{"QueryKeptUnencoded", "http://h/a b?x=%20&y=\xC4\xE3", "h", "", 80, "h",
                "/a b?x=%20&y=\xC4\xE3"},
        UrlCase{"Ipv6Literal", "http://[::1]:8080/x", "[::1]", "8080", 8080, "[::1]:8080", "/x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UrlSlashes, OnlyBackslashesOutsideDoubleByteCharactersChange) {
    EXPECT_EQ(slashBackslashes("a\\b\\\\c"), "a/b//c");
    EXPECT_EQ(slashBackslashes("\x81\\\\"), "\x81\\/");
    // A lead byte at the very end has no trail byte to skip.
    EXPECT_EQ(slashBackslashes("\\\x81"), "/\x81");
    // With a single-byte code page every backslash changes.
    EXPECT_EQ(slashBackslashes("\x81\\", [](unsigned char) { return false; }), "\x81/");
}

TEST(UrlRejected, BadUrlsThrowClearErrors) {
    const char* bad[] = {
        "",
        "/relative/path",
        "h/upload",
        "://h/x",
        "http://",
        "http:///x",
        "http://user@/x",
        "http://h:/x",
        "http://h:abc/x",
        "http://h:0/x",
        "http://h:70000/x",
        "http://h:8080x/x",
        "http://[::1/x",
        "ftp://h/x",
        "ftp://h:21/x",
        "mailto:someone",
        "http://h/a\r\nX-Injected: 1",
        "http://h/a\nb",
        "http://bad host/x",
    };
    for (const char* url : bad) {
        EXPECT_THROW(splitUrl(url), HttpError) << url;
    }
}

TEST(UrlRejected, HttpsFailsWithTheClientMessage) {
    for (const char* url : {"https://h/x", "HTTPS://h:443/x"}) {
        try {
            splitUrl(url);
            ADD_FAILURE() << url << " was accepted";
        } catch (const HttpError& e) {
            EXPECT_STREQ(e.what(), "IOHandler value is not valid");
        }
    }
}

}  // namespace
}  // namespace orvix::net
