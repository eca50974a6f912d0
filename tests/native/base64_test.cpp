#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "encoding/base64.h"
#include "errors.h"
#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"

namespace orvix {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

std::string encodeText(const std::string& s) {
    return encodeBase64(std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()));
}

// Python and coreutils end every line, the last one too, with LF. The
// control's text uses CR LF and leaves a last line shorter than 76 open.
std::string controlLineBreaks(const std::string& lfText) {
    std::string out;
    std::size_t lineLength = 0;
    for (char c : lfText) {
        if (c == '\n') {
            out += "\r\n";
            if (lineLength < 76) out.resize(out.size() - 2);
            lineLength = 0;
        } else {
            out += c;
            ++lineLength;
        }
    }
    return out;
}

TEST(Base64, Rfc4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [in, out] : vectors) EXPECT_EQ(encodeText(in), out) << '"' << in << '"';
}

// Line layout by input length: characters without breaks, CR LF pairs, and
// whether the text ends with CR LF.
TEST(Base64, LinesOf76WithCrLfAndNoBreakAfterAShortLastLine) {
    struct Case {
        std::size_t bytes, chars, breaks;
        bool endsWithBreak;
        const char* tail;  // the last characters before any final break
    };
    const Case cases[] = {
        {0, 0, 0, false, ""},     {1, 4, 0, false, "=="},   {2, 4, 0, false, "="},
        {3, 4, 0, false, ""},     {57, 76, 1, true, ""},    {58, 80, 1, false, "=="},
        {56, 76, 1, true, "="},   {114, 152, 2, true, ""},  {600, 800, 10, false, ""},
    };
    for (const auto& c : cases) {
        const std::string text = encodeBase64(randomBytes(c.bytes, 5));
        const std::size_t breaks = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        EXPECT_EQ(breaks, c.breaks) << c.bytes << " bytes";
        EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')), c.breaks) << c.bytes;
        EXPECT_EQ(text.size(), c.chars + 2 * c.breaks) << c.bytes << " bytes";
        const bool endsWithBreak = text.size() >= 2 && text.ends_with("\r\n");
        EXPECT_EQ(endsWithBreak, c.endsWithBreak) << c.bytes << " bytes";
        const std::string body = endsWithBreak ? text.substr(0, text.size() - 2) : text;
        if (*c.tail) {
            EXPECT_TRUE(body.ends_with(c.tail)) << c.bytes << " bytes: " << body;
        } else {
            EXPECT_TRUE(body.empty() || body.back() != '=') << c.bytes << " bytes";
        }
        // Every line but the last is exactly 76 characters.
        std::size_t start = 0;
        for (std::size_t crlf; (crlf = text.find("\r\n", start)) != std::string::npos; start = crlf + 2)
            EXPECT_EQ(crlf - start, 76u) << c.bytes << " bytes, line at " << start;
    }
}

TEST(Base64, EveryLengthUpTo200MatchesPython) {
    oracle::ScratchDir dir;
    const Bytes data = randomBytes(200, 77);
    const std::string file = dir.file("data.bin");
    oracle::writeFile(file, data);
    const auto printed = oracle::runCommand(
        oracle::systemPython() +
        " -c 'import base64,sys; d=open(sys.argv[1],\"rb\").read()\n"
        "for n in range(len(d)+1): sys.stdout.write(base64.encodebytes(d[:n]).decode()+\"#\\n\")' " +
        file);
    ASSERT_TRUE(printed) << "python3 did not run";
    std::size_t start = 0;
    for (std::size_t n = 0; n <= data.size(); ++n) {
        const std::size_t end = printed->find("#\n", start);
        ASSERT_NE(end, std::string::npos) << n;
        const std::string expected = controlLineBreaks(printed->substr(start, end - start));
        start = end + 2;
        EXPECT_EQ(encodeBase64(std::span(data).first(n)), expected) << n << " bytes";
    }
}

TEST(Base64, LargeBufferMatchesCoreutils) {
    oracle::ScratchDir dir;
    // 57 * 9000 + 2: many full lines and a padded short last one.
    const Bytes data = randomBytes(513002, 123);
    const std::string file = dir.file("data.bin");
    oracle::writeFile(file, data);
    const auto printed = oracle::runCommand("base64 -w 76 " + file);
    ASSERT_TRUE(printed) << "base64 did not run";
    const std::string text = encodeBase64(data);
    EXPECT_TRUE(text == controlLineBreaks(*printed));
    EXPECT_FALSE(text.ends_with("\r\n"));
}

// Rows and blocks of any size continue one text: partial groups carry over
// and the line count runs on across calls.
TEST(Base64, StreamingInPiecesGivesTheSameText) {
    const Bytes data = randomBytes(5000, 8);
    const std::string whole = encodeBase64(data);
    for (std::size_t piece : {1, 2, 4, 56, 57, 58, 510, 4999}) {
        VectorSink sink;
        Base64Encoder encoder(sink);
        for (std::size_t i = 0; i < data.size(); i += piece)
            encoder.encode(std::span(data).subspan(i, std::min(piece, data.size() - i)));
        encoder.finish();
        EXPECT_EQ(std::string(sink.bytes().begin(), sink.bytes().end()), whole) << "pieces of " << piece;
    }
}

TEST(Base64, FinishedEncoderRefusesMoreWork) {
    VectorSink sink;
    Base64Encoder encoder(sink);
    encoder.finish();
    const Bytes more(3, 1);
    EXPECT_THROW(encoder.encode(more), Error);
    EXPECT_THROW(encoder.finish(), Error);
}

TEST(Base64Sink, PiecesGiveTheOneShotTextAndPositionCountsInput) {
    const Bytes data = randomBytes(5000, 11);
    for (std::size_t reserve : {std::size_t{0}, data.size()}) {
        Base64Sink sink(reserve);
        std::size_t at = 0;
        for (std::size_t piece = 1; at < data.size(); piece = piece * 3 + 1) {
            const std::size_t n = std::min(piece, data.size() - at);
            sink.write(std::span(data.data() + at, n));
            at += n;
            EXPECT_EQ(sink.position(), at);
        }
        EXPECT_EQ(sink.finish(), encodeBase64(data));
    }
}

}  // namespace
}  // namespace orvix
