#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "encoding/lzw_encoder.h"
#include "errors.h"
#include "oracles/lzw_decoder.h"
#include "oracles/qpdf_lzw.h"
#include "oracles/synthetic_page.h"
#include "oracles/tiff_lzw.h"

namespace orvix {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes randomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

// Encodes in pieces of the given size, as the writers feed rows.
Bytes encodeInPieces(const Bytes& data, std::size_t piece) {
    VectorSink sink;
    LzwEncoder encoder(sink);
    for (std::size_t i = 0; i < data.size(); i += piece)
        encoder.encode(std::span(data).subspan(i, std::min(piece, data.size() - i)));
    encoder.finish();
    return sink.take();
}

// Short streams whose every bit is fixed: all codes 9 bits wide, MSB first,
// padded with zeros to a byte.
struct ExactCase {
    const char* name;
    Bytes input;
    Bytes expected;
};

TEST(LzwEncoder, ShortStreamsAreExactBytes) {
    const ExactCase cases[] = {
        {"empty: Clear, EOI", {}, {0x80, 0x40, 0x40}},
        {"one byte 0x41: Clear, 0x41, EOI", {0x41}, {0x80, 0x10, 0x60, 0x20}},
        {"one byte 0x00", {0x00}, {0x80, 0x00, 0x20, 0x20}},
        {"one byte 0xFF", {0xFF}, {0x80, 0x3F, 0xE0, 0x20}},
        {"AB: Clear, A, B, EOI", bytesOf("AB"), {0x80, 0x10, 0x48, 0x50, 0x10}},
        {"AAA: Clear, A, 258, EOI", bytesOf("AAA"), {0x80, 0x10, 0x60, 0x50, 0x10}},
    };
    for (const auto& c : cases) EXPECT_EQ(lzwEncode(c.input), c.expected) << c.name;
}

struct RoundTripCase {
    std::string name;
    Bytes input;
};

std::vector<RoundTripCase> roundTripCases() {
    const Image page = oracle::makeDocumentPage(800, 600, 7);
    Bytes alternating(50000);
    for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = i % 2 ? 0x00 : 0xFF;
    Bytes ramp(70000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return {
        {"one byte", {0x5A}},
        {"two equal bytes", {0x00, 0x00}},
        {"KwKwK pattern", bytesOf("ABABABABABABABABAB")},
        {"run of 1000 A", Bytes(1000, 'A')},
        {"run of 100000 zeros", Bytes(100000, 0)},
        {"alternating bytes", alternating},
        {"ramp", ramp},
        {"random 300000 bytes", randomBytes(300000, 42)},
        {"document page 800x600", Bytes(page.data(), page.data() + page.byteSize())},
    };
}

TEST(LzwEncoder, LibtiffDecodesTheInput) {
    for (const auto& c : roundTripCases()) {
        const Bytes encoded = lzwEncode(c.input);
        const auto decoded = oracle::decodeLzwWithLibtiff(encoded, c.input.size());
        ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error;
        EXPECT_TRUE(decoded.bytes == c.input) << c.name;
    }
}

// PDF's LZWDecode with its default EarlyChange 1 reads the same stream,
// ending exactly at the end code; EarlyChange 0 must not, or the encoder
// would not be switching widths early.
TEST(LzwEncoder, PdfEarlyChangeOneDecodesTheInputAndZeroDoesNot) {
    for (const auto& c : roundTripCases()) {
        const Bytes encoded = lzwEncode(c.input);
        const auto decoded = oracle::decodeLzw(encoded, 1);
        ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error;
        EXPECT_TRUE(decoded.bytes == c.input) << c.name;
        if (decoded.codes.size() > 260) {
            const auto late = oracle::decodeLzw(encoded, 0);
            EXPECT_FALSE(late.ok && late.bytes == c.input) << c.name;
        }
    }
}

// The same through a real PDF reader's LZWDecode filter, empty stream included.
TEST(LzwEncoder, QpdfDecodesTheStreamAsPdfLzwDecode) {
    if (!oracle::qpdfAvailable()) GTEST_SKIP() << "qpdf is not installed";
    auto cases = roundTripCases();
    cases.push_back({"empty", {}});
    for (const auto& c : cases) {
        const Bytes encoded = lzwEncode(c.input);
        const auto decoded = oracle::decodeLzwWithQpdf(encoded);
        ASSERT_TRUE(decoded) << c.name << ": qpdf rejected the stream";
        EXPECT_TRUE(*decoded == c.input) << c.name << ": " << decoded->size() << " bytes";
        if (c.input.size() > 1000) {
            const auto late = oracle::decodeLzwWithQpdf(encoded, 0);
            EXPECT_FALSE(late && *late == c.input) << c.name << " with EarlyChange 0";
        }
    }
}

TEST(LzwEncoder, StreamStartsWithClearEndsWithEndCodeAndNeverExceedsTwelveBits) {
    const auto decoded = oracle::decodeLzw(lzwEncode(randomBytes(200000, 3)));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.codes.front().code, 256u);
    EXPECT_EQ(decoded.codes.back().code, 257u);
    unsigned widest = 0;
    std::size_t clears = 0;
    for (std::size_t i = 0; i < decoded.codes.size(); ++i) {
        widest = std::max(widest, decoded.codes[i].width);
        if (decoded.codes[i].code == 256 && i > 0) {
            ++clears;
            // The code after a Clear is read at 9 bits again.
            EXPECT_EQ(decoded.codes[i + 1].width, 9u) << "after code " << i;
        }
    }
    EXPECT_EQ(widest, 12u);
    EXPECT_GE(clears, 10u);
}

// The table is emptied once the next free code passes 4093: a reader's
// table holds codes 0..4093 when it meets each Clear in the middle.
TEST(LzwEncoder, ClearComesWhenTheTableHolds4094Codes) {
    const auto decoded = oracle::decodeLzw(lzwEncode(randomBytes(100000, 11)));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    ASSERT_FALSE(decoded.tableSizesAtClear.empty());
    for (std::size_t size : decoded.tableSizesAtClear) EXPECT_EQ(size, 4094u);
}

// An empty slot is marked by key 0, which is also the key of the pair
// (0, 0): zeros never find their pair and go out one code each.
TEST(LzwEncoder, RunOfZerosIsCodedByteByByte) {
    const auto decoded = oracle::decodeLzw(lzwEncode(Bytes(10000, 0)));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    std::size_t zeros = 0;
    for (const auto& c : decoded.codes) {
        if (c.code == 256 || c.code == 257) continue;
        EXPECT_EQ(c.code, 0u);
        ++zeros;
    }
    EXPECT_EQ(zeros, 10000u);
}

TEST(LzwEncoder, PiecewiseFeedingGivesTheSameStream) {
    const Image page = oracle::makeDocumentPage(320, 240, 5);
    const Bytes data(page.data(), page.data() + page.byteSize());
    const Bytes whole = lzwEncode(data);
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{254}, page.stride(), std::size_t{4099}})
        EXPECT_TRUE(encodeInPieces(data, piece) == whole) << "pieces of " << piece;

    VectorSink sink;
    LzwEncoder encoder(sink);
    encoder.encode({});
    encoder.encode(data);
    encoder.encode({});
    encoder.finish();
    EXPECT_TRUE(sink.bytes() == whole) << "empty blocks around the data";
}

// Records the size of every write the encoder makes.
class RecordingSink : public ByteSink {
public:
    void write(std::span<const std::uint8_t> bytes) override {
        writes.push_back(bytes.size());
        total += bytes.size();
    }
    std::uint64_t position() const override { return total; }
    std::vector<std::size_t> writes;
    std::uint64_t total = 0;
};

TEST(LzwEncoder, OutputReachesTheSinkIn254ByteBlocks) {
    const Bytes data = randomBytes(20000, 9);
    RecordingSink sink;
    LzwEncoder encoder(sink);
    encoder.encode(std::span(data).first(100));
    EXPECT_TRUE(sink.writes.empty()) << "nothing before a block is full";
    encoder.encode(std::span(data).subspan(100));
    encoder.finish();
    ASSERT_GT(sink.writes.size(), 2u);
    for (std::size_t i = 0; i + 1 < sink.writes.size(); ++i) EXPECT_EQ(sink.writes[i], 254u) << "write " << i;
    EXPECT_GE(sink.writes.back(), 1u);
    EXPECT_LE(sink.writes.back(), 254u);
    EXPECT_EQ(sink.total, lzwEncode(data).size());
}

TEST(LzwEncoder, SpentEncoderRefusesMoreWork) {
    VectorSink sink;
    LzwEncoder encoder(sink);
    encoder.encode(bytesOf("abc"));
    encoder.finish();
    const Bytes more = bytesOf("d");
    EXPECT_THROW(encoder.encode(more), Error);
    EXPECT_THROW(encoder.finish(), Error);
}

TEST(LzwEncoder, SinkFailureReachesTheCaller) {
    struct FullDisk : ByteSink {
        void write(std::span<const std::uint8_t>) override { throw Error("disk full"); }
        std::uint64_t position() const override { return 0; }
    } sink;
    const Bytes data = randomBytes(1000, 1);
    EXPECT_THROW(lzwEncode(data, sink), Error);
}

}  // namespace
}  // namespace orvix
