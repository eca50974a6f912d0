// The url fetch through libcurl: http and https (any certificate accepted),
// ftp in binary, never through a proxy. Status codes are not examined: an
// error reply's body is data like any other.
#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "net/fetch_url.h"
#include "net/url_fetcher.h"

namespace orvix::net {
namespace {

constexpr const char* kAgent = "Mozilla/4.*";

struct EasyCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using Easy = std::unique_ptr<CURL, EasyCleanup>;

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
    std::vector<std::uint8_t>* data;
    bool outOfMemory = false;
};

size_t onData(char* bytes, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    try {
        sink->data->insert(sink->data->end(), bytes, bytes + n);
    } catch (const std::bad_alloc&) {
        sink->outOfMemory = true;
        return 0;  // ends the transfer
    }
    return n;
}

// Characters that would make curl read the host as something else.
bool plainHost(const std::string& host) {
    return host.find_first_of("@/?#\\[] \t\r\n") == std::string::npos;
}

// curl refuses a url with spaces or control bytes in it; escape them, as
// WinInet escapes spaces. Everything else goes out as written.
std::string escapedObject(const std::string& object) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : object) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

const char* schemeText(FetchScheme scheme) {
    switch (scheme) {
        case FetchScheme::Https: return "https://";
        case FetchScheme::Ftp: return "ftp://";
        case FetchScheme::Http: break;
    }
    return "http://";
}

class CurlFetcher : public UrlFetcher {
public:
    std::optional<Fetched> fetch(std::string_view text) override {
        FetchUrl url;
        try {
            url = splitFetchUrl(text);
        } catch (const FetchError&) {
            return std::nullopt;
        }
        if (!plainHost(url.host)) return std::nullopt;

        globalInit();
        Easy curl(curl_easy_init());
        if (!curl) return std::nullopt;
        CURL* c = curl.get();
        const std::string target =
            schemeText(url.scheme) + url.host + ":" + std::to_string(url.port) + escapedObject(url.object);

        Fetched out;
        Sink sink{&out.data};
        curl_easy_setopt(c, CURLOPT_URL, target.c_str());
        curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
        curl_easy_setopt(c, CURLOPT_USERAGENT, kAgent);
        curl_easy_setopt(c, CURLOPT_PROXY, "");  // direct, whatever the environment says
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onData);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
        if (!url.user.empty() || !url.password.empty()) {
            curl_easy_setopt(c, CURLOPT_USERNAME, url.user.c_str());
            curl_easy_setopt(c, CURLOPT_PASSWORD, url.password.c_str());
        }
        if (url.scheme == FetchScheme::Ftp) {
            curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);
        } else {
            curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
            curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
            curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
            curl_easy_setopt(c, CURLOPT_HTTPAUTH, CURLAUTH_ANY);
            curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");
            // Any certificate: self-signed, expired, for another name.
            curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 0L);
            curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 0L);
            curl_easy_setopt(c, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NO_REVOKE));
        }

        const CURLcode result = curl_easy_perform(c);
        if (sink.outOfMemory) throw std::bad_alloc();
        if (url.scheme == FetchScheme::Ftp) {
            // Nothing arrived: the login or the file could not be opened.
            if (result != CURLE_OK && out.data.empty()) return std::nullopt;
            out.typeHint = typeHintFromFtpObject(url.object);
            return out;
        }
        // An unreachable server or a broken transfer keeps what arrived.
        const char* contentType = nullptr;
        if (curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
            out.typeHint = typeHintFromContentType(contentType);
        return out;
    }
};

}  // namespace

std::unique_ptr<UrlFetcher> makeSystemUrlFetcher() { return std::make_unique<CurlFetcher>(); }

}  // namespace orvix::net
