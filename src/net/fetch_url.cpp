#include "net/fetch_url.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace orvix::net {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(text[i]) != prefix[i]) return false;
    return true;
}

// Digits only; nullopt for anything else or a value past `limit`.
std::optional<std::uint64_t> decimal(std::string_view text, std::uint64_t limit) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (limit - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::uint16_t defaultPort(FetchScheme scheme) {
    switch (scheme) {
        case FetchScheme::Https: return 443;
        case FetchScheme::Ftp: return 21;
        case FetchScheme::Http: break;
    }
    return 80;
}

FetchUrl splitFetchUrl(std::string_view url) {
    static constexpr std::pair<std::string_view, FetchScheme> kSchemes[] = {
        {"http://", FetchScheme::Http}, {"https://", FetchScheme::Https}, {"ftp://", FetchScheme::Ftp}};
    FetchUrl out;
    std::string_view rest;
    bool known = false;
    for (const auto& [prefix, scheme] : kSchemes) {
        if (startsWithNoCase(url, prefix)) {
            out.scheme = scheme;
            rest = url.substr(prefix.size());
            known = true;
            break;
        }
    }
    if (!known) throw FetchError("Only http, https and ftp urls can be fetched");

    const auto slash = rest.find('/');
    if (slash == std::string_view::npos) throw FetchError("The url names no object after the host");
    std::string_view authority = rest.substr(0, slash);
    out.object = std::string(rest.substr(slash));

    if (const auto at = authority.find('@'); at != std::string_view::npos) {
        // The colon must separate user and password: one that only comes
        // after the at sign belongs to the port.
        const std::string_view credentials = authority.substr(0, at);
        const auto colon = credentials.find(':');
        if (colon == std::string_view::npos) throw FetchError("The url's credentials lack a password separator");
        out.user = std::string(credentials.substr(0, colon));
        out.password = std::string(credentials.substr(colon + 1));
        authority = authority.substr(at + 1);
    }

    if (const auto colon = authority.find(':'); colon != std::string_view::npos) {
        out.host = std::string(authority.substr(0, colon));
        const std::string_view portText = authority.substr(colon + 1);
        if (!allDigits(portText)) {
            out.port = 80;
        } else {
            // A port past 65535 would wrap around to some other port.
            const auto port = decimal(portText, 65535);
            if (!port) throw FetchError("The url's port is out of range");
            out.port = *port == 0 ? defaultPort(out.scheme) : static_cast<std::uint16_t>(*port);
        }
    } else {
        out.host = std::string(authority);
        out.port = defaultPort(out.scheme);
    }
    if (out.host.empty()) throw FetchError("The url names no host");
    return out;
}

std::string typeHintFromContentType(std::string_view contentType) {
    const auto slash = contentType.find('/');
    if (slash == std::string_view::npos) return {};
    return std::string(contentType.substr(slash + 1));
}

std::string typeHintFromFtpObject(std::string_view object) {
    const auto segment = object.find_last_of("/\\");
    const std::string_view name = segment == std::string_view::npos ? object : object.substr(segment + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string hint(name.substr(dot + 1, 10));
    std::transform(hint.begin(), hint.end(), hint.begin(), lowerAscii);
    return hint;
}

std::uint64_t announcedLength(std::string_view contentLength) {
    return decimal(contentLength, std::numeric_limits<std::uint64_t>::max()).value_or(0);
}

}  // namespace orvix::net
