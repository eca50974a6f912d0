#pragma once
// Taking a fetch url apart (http, https, ftp) and reading what a reply says
// about the document. A different rule set from the upload's url splitting.
#include <cstdint>
#include <string>
#include <string_view>

#include "net/net_errors.h"

namespace orvix::net {

// The url cannot be fetched: nothing is sent for it.
class FetchError : public Error {
public:
    using Error::Error;
};

enum class FetchScheme { Http, Https, Ftp };

struct FetchUrl {
    FetchScheme scheme = FetchScheme::Http;
    std::string user;      // empty when the url names none
    std::string password;
    std::string host;
    std::uint16_t port = 80;
    std::string object;    // from the first "/" after the host on, query and fragment included
};

std::uint16_t defaultPort(FetchScheme scheme);

// Throws FetchError for a scheme other than http, https or ftp (any case), a
// url without a "/" after the host, an at sign in the authority without a
// colon before it, an empty host, or a port number above 65535. Port text
// that is no decimal number gives 80, whatever the scheme; port 0 gives the
// scheme's default.
FetchUrl splitFetchUrl(std::string_view url);

// Content-Type "image/jpeg; q=1" gives "jpeg; q=1": everything after the
// first "/", parameters kept; "" without a "/".
std::string typeHintFromContentType(std::string_view contentType);
// The object's file extension in lower case without the dot, at most 10
// characters; "" when the last path segment has none.
std::string typeHintFromFtpObject(std::string_view object);
// Content-Length as a decimal number; 0 when absent, not a number, or too
// large to hold.
std::uint64_t announcedLength(std::string_view contentLength);

}  // namespace orvix::net
