#include "net/url.h"

#include <algorithm>
#include <cctype>

namespace orvix::net {

bool isGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::string slashBackslashes(std::string_view url, LeadBytePredicate isLead) {
    std::string out(url);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (isLead(byte)) {
            ++i;  // the trail byte may be 0x5C and must stay
        } else if (byte == '\\') {
            out[i] = '/';
        }
    }
    return out;
}

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Control bytes would let a url inject header lines into the request.
bool hasControlByte(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

std::uint16_t parsePort(std::string_view text) {
    if (text.empty() || text.size() > 5) throw HttpError("Invalid port in url");
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') throw HttpError("Invalid port in url");
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) throw HttpError("Invalid port in url");
    return static_cast<std::uint16_t>(value);
}

}  // namespace

Url splitUrl(std::string_view rawUrl, LeadBytePredicate isLead) {
    const std::string url = slashBackslashes(rawUrl, isLead);
    if (hasControlByte(url)) throw HttpError("Invalid character in url");

    const auto schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0) throw HttpError("Url is not absolute");
    const std::string_view scheme = std::string_view(url).substr(0, schemeEnd);
    if (equalsNoCase(scheme, "https")) throw HttpError("IOHandler value is not valid");
    // Other schemes have no meaning for a plain-http client.
    if (!equalsNoCase(scheme, "http")) throw HttpError("Unsupported url scheme");

    const std::size_t authorityStart = schemeEnd + 3;
    // A "?" or "#" also ends the authority, so neither ends up in the host.
    std::size_t authorityEnd = url.find_first_of("/?#", authorityStart);
    if (authorityEnd == std::string::npos) authorityEnd = url.size();
    std::string_view authority =
        std::string_view(url).substr(authorityStart, authorityEnd - authorityStart);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);  // credentials are never sent
    }

    Url result;
    std::size_t hostEnd;
    if (!authority.empty() && authority.front() == '[') {
        hostEnd = authority.find(']');
        if (hostEnd == std::string_view::npos) throw HttpError("Invalid host in url");
        ++hostEnd;
    } else {
        hostEnd = authority.find(':');
        if (hostEnd == std::string_view::npos) hostEnd = authority.size();
    }
    result.host = std::string(authority.substr(0, hostEnd));
    if (result.host.empty() || result.host.find(' ') != std::string::npos) {
        throw HttpError("Url has no valid host");
    }
    const std::string_view rest = authority.substr(hostEnd);
    if (!rest.empty()) {
        if (rest.front() != ':') throw HttpError("Invalid host in url");
        result.portText = std::string(rest.substr(1));
        result.port = parsePort(result.portText);
    }
    result.hostHeader = result.host;
    if (!result.portText.empty() && result.portText != "80") {
        result.hostHeader += ":" + result.portText;
    }

    std::string target = url.substr(authorityEnd);
    if (const auto hash = target.find('#'); hash != std::string::npos) target.resize(hash);
    if (target.empty() || target.front() != '/') target.insert(0, "/");
    result.target = std::move(target);
    return result;
}

}  // namespace orvix::net
