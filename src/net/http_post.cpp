#include "net/http_post.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "net/url.h"

namespace orvix::net {

std::size_t SpanBodySource::read(std::span<std::uint8_t> buffer) {
    const std::size_t n = std::min(buffer.size(), bytes_.size() - offset_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset_), n, buffer.begin());
    offset_ += n;
    return n;
}

std::string buildRequestHead(std::string_view target, std::string_view hostHeader,
                             std::string_view contentType, std::uint64_t contentLength) {
    std::string head;
    head.append("POST ").append(target).append(" HTTP/1.0\r\n");
    head.append("Connection: keep-alive\r\n");
    head.append("Content-Type: ").append(contentType).append("\r\n");
    head.append("Content-Length: ").append(std::to_string(contentLength)).append("\r\n");
    head.append("Host: ").append(hostHeader).append("\r\n");
    head.append("Accept: text/html, */*\r\n");
    head.append("User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n");
    head.append("\r\n");
    return head;
}

namespace {

// Caps what a hostile server can make us hold for one line of framing.
constexpr std::size_t kMaxLine = 64 * 1024;
constexpr std::size_t kMaxHeaders = 1000;
constexpr std::chrono::milliseconds kDiscardTimeout{2000};

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

class ReplyReader {
public:
    explicit ReplyReader(Connection& connection) : connection_(connection), buffer_(16384) {}

    // A line without its line end; nullopt when the peer closed before one.
    std::optional<std::string> readLine() {
        std::string line;
        for (;;) {
            const auto* begin = buffer_.data() + pos_;
            const auto* end = buffer_.data() + end_;
            const auto* newline = std::find(begin, end, std::uint8_t{'\n'});
            line.append(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(newline - begin));
            if (line.size() > kMaxLine) throw HttpError("Reply line too long");
            if (newline != end) {
                pos_ = static_cast<std::size_t>(newline - buffer_.data()) + 1;
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return line;
            }
            pos_ = end_;
            if (!fill()) return std::nullopt;
        }
    }

    // Appends up to limit bytes to out (when out is given); 0 means closed.
    std::size_t readSome(std::string* out, std::uint64_t limit) {
        if (pos_ == end_ && !fill()) return 0;
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(limit, end_ - pos_));
        if (out) out->append(reinterpret_cast<const char*>(buffer_.data() + pos_), n);
        pos_ += n;
        return n;
    }

private:
    bool fill() {
        pos_ = 0;
        end_ = connection_.receive(buffer_);
        return end_ != 0;
    }

    Connection& connection_;
    std::vector<std::uint8_t> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

struct ReplyHead {
    int status = -1;
    std::optional<std::int64_t> contentLength;
    bool chunked = false;
    std::string location;
};

int parseStatus(std::string_view line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos) return -1;
    i = line.find_first_of(" \t", i);
    if (i == std::string_view::npos) return -1;
    i = line.find_first_not_of(" \t", i);
    if (i == std::string_view::npos) return -1;
    std::size_t end = line.find_first_of(" \t", i);
    const std::string_view word = line.substr(i, end == std::string_view::npos ? end : end - i);
    if (word.empty() || word.size() > 9) return -1;
    int value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::int64_t> parseContentLength(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

ReplyHead readHead(ReplyReader& reader) {
    const auto statusLine = reader.readLine();
    if (!statusLine) throw ConnectionError("Connection closed before the reply");
    ReplyHead head;
    head.status = parseStatus(*statusLine);
    for (std::size_t count = 0;; ++count) {
        const auto line = reader.readLine();
        if (!line) throw ConnectionError("Connection closed inside the reply head");
        if (line->empty()) break;
        if (count >= kMaxHeaders) throw HttpError("Too many reply headers");
        const auto colon = line->find(':');
        if (colon == std::string::npos) continue;
        const std::string name = lower(trim(std::string_view(*line).substr(0, colon)));
        const std::string_view value = trim(std::string_view(*line).substr(colon + 1));
        if (name == "content-length") {
            head.contentLength = parseContentLength(value);
        } else if (name == "transfer-encoding") {
            head.chunked = head.chunked || lower(value).find("chunked") != std::string::npos;
        } else if (name == "location") {
            if (!value.empty()) head.location = std::string(value);
        }
    }
    return head;
}

enum class BodyEnd { Complete, ClosedEarly, Lost };

struct BodyRead {
    BodyEnd end = BodyEnd::Complete;
    std::string why;
};

// Hexadecimal up to the first blank (or extension); nullopt when unreadable.
std::optional<std::uint64_t> parseChunkSize(std::string_view line) {
    const auto stop = line.find_first_of(" \t;");
    line = line.substr(0, stop);
    if (line.empty() || line.size() > 15) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : line) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return value;
}

BodyRead readExactly(ReplyReader& reader, std::string* out, std::uint64_t length) {
    while (length > 0) {
        const std::size_t n = reader.readSome(out, length);
        if (n == 0) return {BodyEnd::ClosedEarly, "Connection closed before the whole body"};
        length -= n;
    }
    return {};
}

BodyRead readChunked(ReplyReader& reader, std::string* out) {
    for (;;) {
        const auto sizeLine = reader.readLine();
        if (!sizeLine) return {BodyEnd::Lost, "Connection closed inside a chunked body"};
        const auto size = parseChunkSize(*sizeLine);
        if (!size) return {BodyEnd::Lost, "Invalid chunk size in reply"};
        if (*size == 0) {
            try {
                (void)reader.readLine();  // the closing line; its loss does not matter
            } catch (const ConnectionError&) {
            }
            return {};
        }
        if (auto r = readExactly(reader, out, *size); r.end != BodyEnd::Complete) {
            return {BodyEnd::Lost, "Connection closed inside a chunked body"};
        }
        if (!reader.readLine()) return {BodyEnd::Lost, "Connection closed inside a chunked body"};
    }
}

BodyRead readUntilClose(ReplyReader& reader, std::string* out) {
    while (reader.readSome(out, kMaxLine) != 0) {
    }
    return {};
}

// Reads the body by the framing the head declares; a connection error counts
// as a loss.
BodyRead readBody(ReplyReader& reader, const ReplyHead& head, std::string* out) {
    try {
        if (head.contentLength && *head.contentLength >= 1) {
            return readExactly(reader, out, static_cast<std::uint64_t>(*head.contentLength));
        }
        if (head.chunked) return readChunked(reader, out);
        if (head.contentLength) return {};  // a declared length below 1: no body
        return readUntilClose(reader, out);
    } catch (const HttpError& e) {
        return {BodyEnd::Lost, e.what()};
    }
}

bool hasNoBody(int status) { return (status >= 100 && status < 200) || status == 204 || status == 304; }

std::string failureFor(const ReplyHead& head) {
    if (!head.location.empty() || (head.status >= 300 && head.status < 400 && head.status != 304)) {
        return "Redirect not followed (status " + std::to_string(head.status) + ")";
    }
    if (head.status < 200 || head.status >= 300) {
        return "Server replied with status " + std::to_string(head.status);
    }
    return {};
}

void sendBody(Connection& connection, BodySource& body) {
    std::uint64_t remaining = body.size();
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kBodyWriteSize)));
    while (remaining > 0) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(remaining, buffer.size()));
        const std::size_t got = body.read(std::span(buffer).first(want));
        if (got == 0 || got > want) throw HttpError("Body shorter than its declared length");
        connection.send(std::span<const std::uint8_t>(buffer).first(got));
        remaining -= got;
    }
}

}  // namespace

PostResult httpPost(std::string_view url, std::string_view contentType, BodySource& body,
                    const ConnectionFactory& factory) {
    const Url parts = splitUrl(url);
    const std::string head = buildRequestHead(parts.target, parts.hostHeader, contentType, body.size());

    std::unique_ptr<Connection> connection = factory();
    if (!connection) throw ConnectionError("No connection available");
    connection->connect(parts.host, parts.port);
    connection->send(std::span(reinterpret_cast<const std::uint8_t*>(head.data()), head.size()));
    sendBody(*connection, body);

    ReplyReader reader(*connection);
    ReplyHead reply = readHead(reader);
    while (reply.status == 100) reply = readHead(reader);

    PostResult result;
    result.status = reply.status;
    result.failure = failureFor(reply);
    if (!result.failure.empty()) {
        // The failing reply's body is read for nothing, with a bound on waiting.
        if (!hasNoBody(reply.status)) {
            try {
                connection->setReceiveTimeout(kDiscardTimeout);
                (void)readBody(reader, reply, nullptr);
            } catch (const Error&) {
            }
        }
        connection->shutdown();
        return result;
    }

    BodyRead read;
    if (reply.status != 204) read = readBody(reader, reply, &result.replyText);
    const bool lengthDeclared = reply.contentLength && *reply.contentLength >= 1;
    result.success = read.end == BodyEnd::Complete ||
                     (read.end == BodyEnd::ClosedEarly && lengthDeclared);
    if (!result.success) result.failure = read.why;
    connection->shutdown();
    return result;
}

}  // namespace orvix::net
