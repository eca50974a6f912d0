#pragma once
// Fetching a whole document named by an http, https or ftp url into memory.
// The internet library (WinInet on Windows, libcurl natively) behind it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvix::net {

struct Fetched {
    std::vector<std::uint8_t> data;  // the body, whatever the status; possibly empty
    std::string typeHint;            // see typeHintFromContentType / typeHintFromFtpObject
};

class UrlFetcher {
public:
    virtual ~UrlFetcher() = default;
    // nullopt when the fetch fails: an unusable url (nothing is sent), a
    // handle that cannot be opened, an ftp file that cannot be opened. An
    // unreachable server or an error reply still succeed, with the data that
    // arrived. Other errors (out of memory) propagate.
    virtual std::optional<Fetched> fetch(std::string_view url) = 0;
};

// WinInet on Windows, libcurl elsewhere.
std::unique_ptr<UrlFetcher> makeSystemUrlFetcher();

}  // namespace orvix::net
