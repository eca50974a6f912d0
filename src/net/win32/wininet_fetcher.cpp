// The url fetch through WinInet, loaded at run time and called by name so that
// the control imports nothing for it. Calls and flags as a browser-like image
// loader makes them: direct connection, no cache, any certificate accepted.
#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "net/fetch_url.h"
#include "net/url_fetcher.h"

namespace orvix::net {
namespace {

constexpr const char* kAgent = "Mozilla/4.*";
constexpr DWORD kKnownLengthPiece = 65536;
constexpr DWORD kUnknownLengthPiece = 1024;

using InternetOpenA_t = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using InternetConnectA_t = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD,
                                              DWORD_PTR);
using HttpOpenRequestA_t = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD, DWORD_PTR);
using InternetQueryOptionA_t = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, LPDWORD);
using InternetSetOptionA_t = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);
using HttpSendRequestA_t = BOOL(WINAPI*)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD);
using HttpQueryInfoA_t = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD);
using InternetReadFileExA_t = BOOL(WINAPI*)(HINTERNET, LPINTERNET_BUFFERSA, DWORD, DWORD_PTR);
using InternetReadFile_t = BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD);
using FtpOpenFileA_t = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, DWORD, DWORD, DWORD_PTR);
using InternetCloseHandle_t = BOOL(WINAPI*)(HINTERNET);

struct FreeModule {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};

// wininet.dll and the functions the fetch calls; usable only when all were found.
class WinInet {
public:
    WinInet() : module_(LoadLibraryA("wininet.dll")) {
        if (!module_) return;
        ok_ = find(InternetOpenA, "InternetOpenA") && find(InternetConnectA, "InternetConnectA") &&
              find(HttpOpenRequestA, "HttpOpenRequestA") && find(InternetQueryOptionA, "InternetQueryOptionA") &&
              find(InternetSetOptionA, "InternetSetOptionA") && find(HttpSendRequestA, "HttpSendRequestA") &&
              find(HttpQueryInfoA, "HttpQueryInfoA") && find(InternetReadFileExA, "InternetReadFileExA") &&
              find(InternetReadFile, "InternetReadFile") && find(FtpOpenFileA, "FtpOpenFileA") &&
              find(InternetCloseHandle, "InternetCloseHandle");
    }
    bool ok() const { return ok_; }

    InternetOpenA_t InternetOpenA = nullptr;
    InternetConnectA_t InternetConnectA = nullptr;
    HttpOpenRequestA_t HttpOpenRequestA = nullptr;
    InternetQueryOptionA_t InternetQueryOptionA = nullptr;
    InternetSetOptionA_t InternetSetOptionA = nullptr;
    HttpSendRequestA_t HttpSendRequestA = nullptr;
    HttpQueryInfoA_t HttpQueryInfoA = nullptr;
    InternetReadFileExA_t InternetReadFileExA = nullptr;
    InternetReadFile_t InternetReadFile = nullptr;
    FtpOpenFileA_t FtpOpenFileA = nullptr;
    InternetCloseHandle_t InternetCloseHandle = nullptr;

private:
    template <class F>
    bool find(F& f, const char* name) {
        f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
        return f != nullptr;
    }

    std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule> module_;
    bool ok_ = false;
};

// One internet handle, closed when it goes out of scope. Declared root,
// connection, request, they close request, connection, root.
class Handle {
public:
    Handle(const WinInet& api, HINTERNET h) : api_(api), h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (h_) api_.InternetCloseHandle(h_);
    }
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    const WinInet& api_;
    HINTERNET h_;
};

const char* orNull(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

// A header's value; "" when the reply has none.
std::string queryHeader(const WinInet& api, HINTERNET request, DWORD info) {
    std::vector<char> buffer(256);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (api.HttpQueryInfoA(request, info, buffer.data(), &size, nullptr))
            return std::string(buffer.data(), size);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        buffer.resize(static_cast<std::size_t>(size) + 1);
    }
    return {};
}

// A synchronous handle blocks each read until data or the end arrive, so the
// transfer runs until the announced length or the server closes.
void readKnownLength(const WinInet& api, HINTERNET request, std::uint64_t length, std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> piece(kKnownLengthPiece);
    while (data.size() < length) {
        INTERNET_BUFFERSA buffers{};
        buffers.dwStructSize = sizeof buffers;
        buffers.lpvBuffer = piece.data();
        buffers.dwBufferLength = kKnownLengthPiece;
        if (!api.InternetReadFileExA(request, &buffers, IRF_SYNC, 0)) break;
        if (buffers.dwBufferLength == 0) break;
        data.insert(data.end(), piece.begin(), piece.begin() + buffers.dwBufferLength);
    }
}

void readToEnd(const WinInet& api, HINTERNET handle, std::vector<std::uint8_t>& data) {
    std::uint8_t piece[kUnknownLengthPiece];
    for (;;) {
        DWORD got = 0;
        if (!api.InternetReadFile(handle, piece, kUnknownLengthPiece, &got) || got == 0) break;
        data.insert(data.end(), piece, piece + got);
    }
}

class WinInetFetcher : public UrlFetcher {
public:
    std::optional<Fetched> fetch(std::string_view text) override {
        FetchUrl url;
        try {
            url = splitFetchUrl(text);
        } catch (const FetchError&) {
            return std::nullopt;
        }
        // Loaded on first use, released with the fetcher (the control).
        if (!api_) api_ = std::make_unique<WinInet>();
        const WinInet& api = *api_;
        if (!api.ok()) return std::nullopt;

        Handle root(api, api.InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        if (!root) return std::nullopt;
        const bool ftp = url.scheme == FetchScheme::Ftp;
        Handle connection(api, api.InternetConnectA(root.get(), url.host.c_str(), url.port, orNull(url.user),
                                                    orNull(url.password),
                                                    ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) return std::nullopt;
        return ftp ? fetchFtp(api, connection.get(), url) : fetchHttp(api, connection.get(), url);
    }

private:
    static std::optional<Fetched> fetchHttp(const WinInet& api, HINTERNET connection, const FetchUrl& url) {
        DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
        if (url.scheme == FetchScheme::Https)
            flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID |
                     INTERNET_FLAG_IGNORE_CERT_DATE_INVALID | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP |
                     INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
        Handle request(api, api.HttpOpenRequestA(connection, "GET", url.object.c_str(), "HTTP/1.1", nullptr,
                                                 nullptr, flags, 0));
        if (!request) return std::nullopt;

        DWORD security = 0;
        DWORD size = sizeof security;
        api.InternetQueryOptionA(request.get(), INTERNET_OPTION_SECURITY_FLAGS, &security, &size);
        security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_REVOCATION | SECURITY_FLAG_IGNORE_WRONG_USAGE;
        api.InternetSetOptionA(request.get(), INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security);

        // A failed send shows as a reply without headers or body.
        api.HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0);

        Fetched out;
        out.typeHint = typeHintFromContentType(queryHeader(api, request.get(), HTTP_QUERY_CONTENT_TYPE));
        const std::uint64_t length = announcedLength(queryHeader(api, request.get(), HTTP_QUERY_CONTENT_LENGTH));
        if (length > 0) readKnownLength(api, request.get(), length, out.data);
        else readToEnd(api, request.get(), out.data);
        return out;
    }

    static std::optional<Fetched> fetchFtp(const WinInet& api, HINTERNET connection, const FetchUrl& url) {
        const std::string path = url.object.substr(1);
        Handle file(api, api.FtpOpenFileA(connection, path.c_str(), GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
        if (!file) return std::nullopt;
        Fetched out;
        out.typeHint = typeHintFromFtpObject(url.object);
        readToEnd(api, file.get(), out.data);
        return out;
    }

    std::unique_ptr<WinInet> api_;
};

}  // namespace

std::unique_ptr<UrlFetcher> makeSystemUrlFetcher() { return std::make_unique<WinInetFetcher>(); }

}  // namespace orvix::net
