#pragma once
// Taking an upload url apart into what the POST exchange puts on the wire.
#include <cstdint>
#include <string>
#include <string_view>

#include "net/net_errors.h"

namespace orvix::net {

// True for a byte that starts a double-byte character in the url's code page.
using LeadBytePredicate = bool (*)(unsigned char);

// Lead bytes of code page 936 (GBK), the code page of the stored texts.
bool isGbkLeadByte(unsigned char byte);

struct Url {
    std::string host;        // as written, brackets kept for an IPv6 literal
    std::string portText;    // as written; empty when the url names no port
    std::uint16_t port = 80;
    std::string hostHeader;  // host, plus ":" and portText unless absent or "80"
    std::string target;      // path and query, never empty, no fragment
};

// Every backslash becomes a slash, except a byte that is the second half of a
// double-byte character.
std::string slashBackslashes(std::string_view url, LeadBytePredicate isLead = isGbkLeadByte);

// Throws HttpError for anything that is not a usable plain-http url; "https"
// fails here so that no connection is ever made for it.
Url splitUrl(std::string_view url, LeadBytePredicate isLead = isGbkLeadByte);

}  // namespace orvix::net
