// The PDF writer: its exact bytes where the layout is fixed, and qpdf and
// poppler as independent readers of everything it writes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "encoding/pdf/pdf_document.h"
#include "encoding/pdf/pdf_syntax.h"
#include "encoding/pdf/pdf_writer.h"
#include "encoding/pdf/run_length.h"
#include "errors.h"
#include "oracles/scratch_dir.h"
#include "oracles/synthetic_page.h"

namespace orvix {
namespace {

using Bytes = std::vector<std::uint8_t>;

const pdf::DateTime kCreated{2024, 1, 2, 3, 4, 5};

std::string asText(const Bytes& b) { return {b.begin(), b.end()}; }

Bytes writeDoc(const std::vector<PdfPage>& pages) {
    VectorSink sink;
    writePdf(pages, sink, kCreated);
    return sink.take();
}

TIOParamsVals recordWith(std::uint8_t compression, int paperWidth = 595, int paperHeight = 842) {
    TIOParamsVals r = TIOParamsVals::forPage();
    r.pdfCompression = compression;
    r.pdfPaperWidth = paperWidth;
    r.pdfPaperHeight = paperHeight;
    return r;
}

Image noiseImage(int width, int height, std::uint32_t seed) {
    Image img(width, height);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < img.byteSize(); ++i) img.data()[i] = static_cast<std::uint8_t>(rng());
    return img;
}

pdf::BilevelImage checkerBilevel(int width, int height) {
    pdf::BilevelImage img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) img.setWhite(x, y, ((x / 3) + (y / 2)) % 2 == 0 || x > width / 2);
    return img;
}

// ---------------------------------------------------------------- syntax

struct TextCase {
    std::string input;
    std::string expected;
};

TEST(PdfSyntax, NamesEscapeBytesOutsideThePrintableRange) {
    const TextCase cases[] = {
        {"Type", "/Type"},
        {"a b", "/a#20b"},
        {std::string("x\0y", 3), "/x#00y"},
        {"\x7f\x80\xff", "/#7F#80#FF"},
        {"!~", "/!~"},
        {"a/b(c)", "/a/b(c)"},  // delimiters stay as they are
    };
    for (const auto& c : cases) EXPECT_EQ(pdf::formatName(c.input), c.expected) << c.input;
}

TEST(PdfSyntax, StringsEscapeControlBytesParenthesesAndBackslash) {
    const TextCase cases[] = {
        {"a(b)", "(a\\(b\\))"},
        {"back\\slash", "(back\\\\slash)"},
        {"\b\t\n\f\r", "(\\b\\t\\n\\f\\r)"},
        {"\x01\x7f\xc4\xe3", "(\x01\x7f\xc4\xe3)"},  // code-page bytes pass unchanged
        {"", "()"},
    };
    for (const auto& c : cases) EXPECT_EQ(pdf::formatString(c.input), c.expected) << c.input;
}

TEST(PdfSyntax, NumbersUseFifteenDigitsAndNoExponent) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {595, "595"}, {-1, "-1"}, {0, "0"}, {-0.0, "0"}, {0.371875, "0.371875"},
        {1.0 / 3, "0.333333333333333"}, {2147483648.0, "2147483648"}, {1e20, "100000000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(pdf::formatNumber(c.value), c.expected) << c.value;
}

std::string written(const pdf::Object& o) {
    VectorSink sink;
    pdf::writeObject(o, sink);
    return asText(sink.bytes());
}

TEST(PdfSyntax, ObjectsOfEveryKind) {
    pdf::Dictionary dict;
    dict.set("Type", pdf::name("Catalog"));
    dict.set("Pages", pdf::ref(6));
    pdf::Dictionary replaced = dict;
    replaced.set("Type", pdf::name("Other"));  // in place, not appended
    pdf::Stream stream(Bytes{'a', 'b', 'c'});
    stream.dict.set("Filter", pdf::name("LZWDecode"));

    const struct {
        pdf::Object object;
        const char* expected;
    } cases[] = {
        {true, "true"},
        {false, "false"},
        {pdf::ref(3), "3 0 R"},
        {pdf::Array{{pdf::Object(0), pdf::Object(0), pdf::Object(595), pdf::Object(842)}}, "[0 0 595 842 ]"},
        {pdf::Array{}, "[]"},
        {pdf::Dictionary{}, "<< >>"},
        {dict, "<< /Type /Catalog\n/Pages 6 0 R\n>>"},
        {replaced, "<< /Type /Other\n/Pages 6 0 R\n>>"},
        {stream, "<< /Length 3\n/Filter /LZWDecode\n>>\nstream\nabc\nendstream"},
    };
    for (const auto& c : cases) EXPECT_EQ(written(c.object), c.expected);
}

TEST(PdfSyntax, WrongKindOfObjectIsAnError) {
    pdf::Object number(5);
    EXPECT_THROW(number.dictionary(), Error);
    pdf::Dictionary empty;
    EXPECT_THROW(empty.at("Missing"), Error);
    EXPECT_THROW(pdf::formatNumber(std::numeric_limits<double>::infinity()), Error);
}

// ------------------------------------------------------------ run length

Bytes runLengthDecode(const Bytes& in) {
    Bytes out;
    std::size_t i = 0;
    while (i < in.size() && in[i] != 128) {
        const int n = in[i++];
        if (n < 128) {
            out.insert(out.end(), in.begin() + static_cast<long>(i), in.begin() + static_cast<long>(i + n + 1));
            i += n + 1;
        } else {
            out.insert(out.end(), static_cast<std::size_t>(257 - n), in[i++]);
        }
    }
    return out;
}

TEST(PdfRunLength, GroupsAndRuns) {
    Bytes literal130(130);
    for (std::size_t i = 0; i < literal130.size(); ++i) literal130[i] = static_cast<std::uint8_t>(i);
    Bytes literal130Coded{127};
    literal130Coded.insert(literal130Coded.end(), literal130.begin(), literal130.begin() + 128);
    literal130Coded.insert(literal130Coded.end(), {1, 128, 129, 128});

    const struct {
        const char* label;
        Bytes input;
        Bytes expected;
    } cases[] = {
        {"empty", {}, {128}},
        {"single", {7}, {0, 7, 128}},
        {"pair", {7, 7}, {255, 7, 128}},
        {"literal then run", {1, 2, 3, 3, 3}, {1, 1, 2, 254, 3, 128}},
        {"run then literal", {9, 9, 1}, {255, 9, 0, 1, 128}},
        {"run of 128", Bytes(128, 0xAA), {129, 0xAA, 128}},
        {"run of 129", Bytes(129, 0xAA), {129, 0xAA, 0, 0xAA, 128}},
        {"run of 130", Bytes(130, 0xAA), {129, 0xAA, 255, 0xAA, 128}},
        {"literal of 130", literal130, literal130Coded},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pdf::runLengthEncode(c.input), c.expected) << c.label;
        EXPECT_EQ(runLengthDecode(pdf::runLengthEncode(c.input)), c.input) << c.label;
    }
}

// --------------------------------------------------------- page placement

TEST(PdfPlacement, ImageFitsTopLeftWithItsProportionsKept) {
    const struct {
        int imageWidth, imageHeight, paperWidth, paperHeight;
        pdf::Placement expected;
    } cases[] = {
        {1600, 1200, 595, 842, {595, 446, 396}},
        {1200, 1600, 595, 842, {595, 793, 49}},
        {595, 842, 595, 842, {595, 842, 0}},
        {1000, 1000, 612, 792, {612, 612, 180}},
        {1, 1000, 595, 842, {1, 842, 0}},  // width truncates to 0, kept at 1
        {5000, 1, 595, 842, {595, 1, 841}},
        {10, 10, 595, 842, {595, 595, 247}},  // small images grow
    };
    for (const auto& c : cases) {
        const auto p = pdf::placeImage(c.imageWidth, c.imageHeight, c.paperWidth, c.paperHeight);
        EXPECT_EQ(p.width, c.expected.width) << c.imageWidth << "x" << c.imageHeight;
        EXPECT_EQ(p.height, c.expected.height) << c.imageWidth << "x" << c.imageHeight;
        EXPECT_EQ(p.bottom, c.expected.bottom) << c.imageWidth << "x" << c.imageHeight;
    }
}

TEST(PdfPlacement, EmptyImagesAndPaperWithoutAreaAreErrors) {
    const int cases[][4] = {{0, 10, 595, 842}, {10, 0, 595, 842}, {10, 10, 0, 842}, {10, 10, 595, -1}};
    for (const auto& c : cases) EXPECT_THROW(pdf::placeImage(c[0], c[1], c[2], c[3]), Error);
}

// ------------------------------------------------------------ exact bytes

std::vector<std::string> splitLines(const std::string& text, std::size_t count) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < count) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The cross-reference table must point at each "n 0 obj" and startxref at
// the table itself.
void expectConsistentXref(const std::string& doc, int objects) {
    ASSERT_NE(doc.rfind("\nxref\n"), std::string::npos);
    const std::size_t xref = doc.rfind("\nxref\n") + 1;
    const std::string head = "xref\n0 " + std::to_string(objects + 1) + "\n0000000000 65535 f \n";
    ASSERT_EQ(doc.compare(xref, head.size(), head), 0);
    std::size_t entry = xref + head.size();
    for (int n = 1; n <= objects; ++n, entry += 20) {
        const std::string line = doc.substr(entry, 20);
        ASSERT_TRUE(std::regex_match(line, std::regex("[0-9]{10} 00000 n \n"))) << line;
        const std::size_t offset = std::stoul(line.substr(0, 10));
        EXPECT_EQ(doc.compare(offset, std::to_string(n).size() + 7, std::to_string(n) + " 0 obj\n"), 0)
            << "object " << n;
    }
    const std::string trailerStart = "trailer\n<< /Size " + std::to_string(objects + 1) + "\n/Root 1 0 R\n/Info " +
                                     std::to_string(objects) + " 0 R\n>>\nstartxref\n" + std::to_string(xref) +
                                     "\n%%EOF\n";
    EXPECT_EQ(doc.substr(entry), trailerStart);
}

TEST(PdfDocumentBytes, OnePageCameraDocumentFromHeaderToTrailer) {
    const Image page = oracle::makeDocumentPage(1600, 1200);
    const std::string doc = asText(writeDoc({{page, recordWith(kPdfCompressionLzw)}}));

    const auto lines = splitLines(doc, 24);
    ASSERT_EQ(lines.size(), 24u);
    const std::string lengthLine = lines[16];
    ASSERT_EQ(lengthLine.rfind("/Length ", 0), 0u) << lengthLine;
    const std::size_t dataLength = std::stoul(lengthLine.substr(8));

    const char* expected[24] = {"%PDF-1.4", "\xC8\xD2\xF0\xFE", "1 0 obj", "<< /Type /Catalog", "/Pages 6 0 R",
                                ">>", "endobj", "2 0 obj", "<< /ProcSet [/PDF /ImageB ]", "/XObject << /lm1 3 0 R",
                                ">>", ">>", "endobj", "3 0 obj", "<< /Type /XObject", "/Subtype /Image",
                                lengthLine.c_str(), "/Filter /LZWDecode", "/ColorSpace /DeviceRGB",
                                "/BitsPerComponent 8", "/Width 1600", "/Height 1200", ">>", "stream"};
    for (std::size_t i = 0; i < 24; ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;

    std::size_t dataStart = 0;
    for (const auto& l : lines) dataStart += l.size() + 1;
    const std::string afterImage = doc.substr(dataStart + dataLength);
    const std::string objects4to7 =
        "\nendstream\nendobj\n"
        "4 0 obj\n<< /Length 32\n>>\nstream\nq\n595 0 0 446 0 396 cm\n/lm1 Do\nQ\nendstream\nendobj\n"
        "5 0 obj\n<< /Type /Page\n/Resources 2 0 R\n/MediaBox [0 0 595 842 ]\n/Contents 4 0 R\n/Parent 6 0 R\n>>\n"
        "endobj\n"
        "6 0 obj\n<< /Type /Pages\n/Kids [5 0 R ]\n/Count 1\n>>\nendobj\n"
        "7 0 obj\n<< /CreationDate (D:20240102030405)\n>>\nendobj\n"
        "xref\n";
    EXPECT_EQ(afterImage.substr(0, objects4to7.size()), objects4to7);
    expectConsistentXref(doc, 7);
}

TEST(PdfDocumentBytes, ThreePagesNumberTheirObjectsInTriples) {
    std::vector<PdfPage> pages;
    for (int i = 0; i < 3; ++i) pages.push_back({noiseImage(40 + i, 30, i), recordWith(kPdfCompressionLzw)});
    const std::string doc = asText(writeDoc(pages));

    const std::string fragments[] = {
        "2 0 obj\n<< /ProcSet [/PDF /ImageB ]\n/XObject << /lm1 3 0 R\n/lm2 6 0 R\n/lm3 9 0 R\n>>\n>>\nendobj\n",
        "5 0 obj\n<< /Type /Page\n/Resources 2 0 R\n/MediaBox [0 0 595 842 ]\n/Contents 4 0 R\n/Parent 12 0 R\n",
        "8 0 obj\n<< /Type /Page\n/Resources 2 0 R\n/MediaBox [0 0 595 842 ]\n/Contents 7 0 R\n/Parent 12 0 R\n",
        "11 0 obj\n<< /Type /Page\n/Resources 2 0 R\n/MediaBox [0 0 595 842 ]\n/Contents 10 0 R\n/Parent 12 0 R\n",
        "\n/lm2 Do\nQ\nendstream", "\n/lm3 Do\nQ\nendstream",
        "12 0 obj\n<< /Type /Pages\n/Kids [5 0 R 8 0 R 11 0 R ]\n/Count 3\n>>\nendobj\n",
        "13 0 obj\n<< /CreationDate (D:20240102030405)\n>>\nendobj\n",
        "1 0 obj\n<< /Type /Catalog\n/Pages 12 0 R\n>>\n",
    };
    for (const auto& f : fragments) EXPECT_NE(doc.find(f), std::string::npos) << f;
    expectConsistentXref(doc, 13);
}

TEST(PdfDocumentBytes, InformationFieldsComeFromTheFirstPageInTheirOrder) {
    TIOParamsVals first = recordWith(kPdfCompressionLzw);
    first.pdfTitle = "a(b)";
    first.pdfAuthor = "Au\\thor";
    first.pdfKeywords = "k1 k2";
    first.pdfProducer = "\xb2\xe2\xca\xd4";  // code-page text as it stands
    TIOParamsVals second = recordWith(kPdfCompressionLzw);
    second.pdfSubject = "ignored";
    const std::string doc = asText(writeDoc({{noiseImage(4, 4, 1), first}, {noiseImage(4, 4, 2), second}}));
    EXPECT_NE(doc.find("10 0 obj\n<< /Title (a\\(b\\))\n/Author (Au\\\\thor)\n/Keywords (k1 k2)\n"
                       "/Producer (\xb2\xe2\xca\xd4)\n/CreationDate (D:20240102030405)\n>>\nendobj\n"),
              std::string::npos);
}

TEST(PdfDocumentBytes, ContentStreamsFollowEachPagesPaper) {
    const std::string doc = asText(writeDoc({{noiseImage(1200, 16, 1), recordWith(0, 612, 792)},
                                             {noiseImage(10, 20, 2), recordWith(0, 100, 100)}}));
    EXPECT_NE(doc.find("<< /Length 30\n>>\nstream\nq\n612 0 0 8 0 784 cm\n/lm1 Do\nQ\nendstream"), std::string::npos);
    EXPECT_NE(doc.find("<< /Length 29\n>>\nstream\nq\n50 0 0 100 0 0 cm\n/lm2 Do\nQ\nendstream"), std::string::npos);
    EXPECT_NE(doc.find("/MediaBox [0 0 612 792 ]"), std::string::npos);
    EXPECT_NE(doc.find("/MediaBox [0 0 100 100 ]"), std::string::npos);
}

// The image dictionary of each path, entry by entry.
TEST(PdfDocumentBytes, ImageDictionaryOfEachPath) {
    const Image rgb = noiseImage(9, 5, 3);
    const pdf::BilevelImage bilevel = checkerBilevel(9, 5);
    auto greyJpeg = recordWith(4);
    greyJpeg.jpegColorSpace = 1;
    auto cmykJpeg = recordWith(4);
    cmykJpeg.jpegColorSpace = 3;
    const struct {
        const char* label;
        PdfPage page;
        const char* entries;  // between Length and Width
    } cases[] = {
        {"rgb lzw", {rgb, recordWith(5)}, "/Filter /LZWDecode\n/ColorSpace /DeviceRGB\n/BitsPerComponent 8\n"},
        {"rgb dct", {rgb, recordWith(4)}, "/Filter /DCTDecode\n/ColorSpace /DeviceRGB\n/BitsPerComponent 8\n"},
        {"grey dct", {rgb, greyJpeg}, "/Filter /DCTDecode\n/ColorSpace /DeviceGray\n/BitsPerComponent 8\n"},
        {"cmyk dct", {rgb, cmykJpeg}, "/Filter /DCTDecode\n/ColorSpace /DeviceCMYK\n/BitsPerComponent 8\n"},
        {"rgb raw", {rgb, recordWith(0)}, "/ColorSpace /DeviceRGB\n/BitsPerComponent 8\n"},
        {"rgb 1 is raw", {rgb, recordWith(1)}, "/ColorSpace /DeviceRGB\n/BitsPerComponent 8\n"},
        {"bilevel lzw", {bilevel, recordWith(5)}, "/Filter /LZWDecode\n/ColorSpace /DeviceGray\n/BitsPerComponent 1\n"},
        {"bilevel rle", {bilevel, recordWith(1)},
         "/Filter [/RunLengthDecode ]\n/ColorSpace /DeviceGray\n/BitsPerComponent 1\n"},
        {"bilevel raw", {bilevel, recordWith(0)}, "/ColorSpace /DeviceGray\n/BitsPerComponent 1\n"},
    };
    for (const auto& c : cases) {
        const std::string doc = asText(writeDoc({c.page}));
        const std::regex image("3 0 obj\n<< /Type /XObject\n/Subtype /Image\n/Length [0-9]+\n([\\s\\S]*?)/Width 9\n"
                               "/Height 5\n>>\nstream\n");
        std::smatch m;
        ASSERT_TRUE(std::regex_search(doc, m, image)) << c.label;
        EXPECT_EQ(m[1].str(), c.entries) << c.label;
    }
}

TEST(PdfDocumentBytes, PlainRowsAreTheImageBytes) {
    const Image rgb = noiseImage(7, 3, 4);
    const pdf::BilevelImage bilevel = checkerBilevel(13, 4);
    const std::string rgbDoc = asText(writeDoc({{rgb, recordWith(0)}}));
    const std::string bilevelDoc = asText(writeDoc({{bilevel, recordWith(0)}}));
    EXPECT_NE(rgbDoc.find("/Length 63\n"), std::string::npos);
    EXPECT_NE(rgbDoc.find("stream\n" + std::string(rgb.data(), rgb.data() + 63) + "\nendstream"), std::string::npos);
    EXPECT_NE(bilevelDoc.find("/Length 8\n"), std::string::npos);
    EXPECT_NE(bilevelDoc.find("stream\n" + asText(bilevel.bytes()) + "\nendstream"), std::string::npos);
}

// --------------------------------------------------- callers and failures

TEST(PdfWriter, NoPagesWriteNothing) {
    VectorSink sink;
    writePdf(std::vector<PdfPage>{}, sink, kCreated);
    PageStrip strip;
    writePdf(strip, sink, kCreated);
    EXPECT_TRUE(sink.bytes().empty());
}

TEST(PdfWriter, StripRecordsTakeTheWrittenSampleLayout) {
    PageStrip strip;
    for (int i = 0; i < 2; ++i) {
        strip.append();
        strip.setImage(i, noiseImage(6, 4, i));
        strip.record(i).pdfCompression = kPdfCompressionLzw;
        strip.record(i).bitsPerSample = 1;
        strip.record(i).samplesPerPixel = 1;
    }
    strip.record(0).pdfTitle = "strip";
    VectorSink sink;
    writePdf(strip, sink, kCreated);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(strip.record(i).bitsPerSample, 8);
        EXPECT_EQ(strip.record(i).samplesPerPixel, 3);
    }
    EXPECT_NE(asText(sink.bytes()).find("<< /Title (strip)\n/CreationDate"), std::string::npos);
}

// The strip is written page by page as pages are added; the list of pages is
// collected first. Both must give the same bytes.
TEST(PdfWriter, StreamingTheStripGivesTheSameBytesAsAListOfPages) {
    PageStrip strip;
    std::vector<PdfPage> pages;
    const int compressions[] = {kPdfCompressionLzw, 0, 4, kPdfCompressionLzw};
    for (int i = 0; i < 4; ++i) {
        strip.append();
        strip.setImage(i, noiseImage(7 + i, 5, i));
        strip.record(i).pdfCompression = static_cast<std::uint8_t>(compressions[i]);
        pages.push_back({strip.image(i), strip.record(i)});
    }
    strip.record(2).pdfPaperWidth = pages[2].record.pdfPaperWidth = 612;
    strip.record(0).pdfAuthor = pages[0].record.pdfAuthor = "scanner";
    VectorSink streamed, collected;
    writePdf(strip, streamed, kCreated);
    writePdf(pages, collected, kCreated);
    EXPECT_EQ(asText(collected.bytes()), asText(streamed.bytes()));
}

TEST(PdfWriter, BadPagesAreClearErrors) {
    auto badJpeg = recordWith(4);
    badJpeg.jpegColorSpace = 9;
    const struct {
        const char* label;
        PdfPage page;
    } cases[] = {
        {"empty rgb", {Image(), recordWith(5)}},
        {"zero-height rgb", {Image(5, 0), recordWith(0)}},
        {"empty bilevel", {pdf::BilevelImage(0, 3), recordWith(1)}},
        {"no paper", {noiseImage(3, 3, 1), recordWith(5, 0, 842)}},
        {"negative paper", {noiseImage(3, 3, 1), recordWith(5, 595, -842)}},
        {"unknown jpeg colour space", {noiseImage(3, 3, 1), badJpeg}},
    };
    for (const auto& c : cases) {
        VectorSink sink;
        EXPECT_THROW(writePdf(std::vector<PdfPage>{c.page}, sink, kCreated), Error) << c.label;
        EXPECT_TRUE(sink.bytes().empty()) << c.label;
    }
    EXPECT_THROW(pdf::BilevelImage(-1, 3), Error);
}

TEST(PdfWriter, DocumentIsWrittenOnce) {
    pdf::Document doc;
    TIOParamsVals r = recordWith(5);
    doc.addPage(noiseImage(2, 2, 1), r);
    VectorSink sink;
    doc.finish(r, kCreated, sink);
    EXPECT_THROW(doc.finish(r, kCreated, sink), Error);
    EXPECT_THROW(doc.addPage(noiseImage(2, 2, 1), r), Error);
}

// ------------------------------------------------- qpdf and poppler oracles

struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun run(const std::string& command) {
    ToolRun r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool haveTool(const char* name) { return run(std::string("command -v ") + name).status == 0; }

struct Ppm {
    int width = 0, height = 0;
    Bytes rgb;
};

Ppm readPpm(const std::string& path) {
    const Bytes file = oracle::readFile(path);
    Ppm p;
    int maxValue = 0, consumed = 0;
    const std::string head(file.begin(), file.begin() + static_cast<long>(std::min<std::size_t>(file.size(), 64)));
    if (std::sscanf(head.c_str(), "P6 %d %d %d%n", &p.width, &p.height, &maxValue, &consumed) != 3) return {};
    p.rgb.assign(file.begin() + consumed + 1, file.end());
    return p;
}

class PdfOracles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"qpdf", "pdfinfo", "pdftoppm"})
            if (!haveTool(tool)) GTEST_SKIP() << tool << " is missing: apt-get install -y qpdf poppler-utils";
    }

    std::string save(const Bytes& doc, const std::string& name = "doc.pdf") {
        const std::string path = dir_.file(name);
        oracle::writeFile(path, doc);
        return path;
    }

    void expectQpdfClean(const std::string& path, const std::string& label) {
        const ToolRun check = run("qpdf --check '" + path + "'");
        EXPECT_EQ(check.status, 0) << label << "\n" << check.output;
        EXPECT_NE(check.output.find("No syntax or stream encoding errors found"), std::string::npos)
            << label << "\n" << check.output;
    }

    // Object n's data with every filter undone, as qpdf reads it.
    Bytes decodedStream(const std::string& path, int object) {
        const std::string out = dir_.file("stream.bin");
        const ToolRun r = run("qpdf --show-object=" + std::to_string(object) + " --filtered-stream-data '" + path +
                          "' > '" + out + "'");
        EXPECT_EQ(r.status, 0) << r.output;
        return oracle::readFile(out);
    }

    // Every page at `dpi`, in page order.
    std::vector<Ppm> render(const std::string& path, int pages, int dpi) {
        const std::string prefix = dir_.file("page");
        const ToolRun r = run("pdftoppm -r " + std::to_string(dpi) + " '" + path + "' '" + prefix + "'");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "") << "poppler complained";
        std::vector<Ppm> out;
        const int digits = static_cast<int>(std::to_string(pages).size());
        for (int i = 1; i <= pages; ++i) {
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, "-%0*d.ppm", digits, i);
            out.push_back(readPpm(prefix + suffix));
        }
        return out;
    }

    oracle::ScratchDir dir_;
};

Bytes bilevelAsRgb(const pdf::BilevelImage& img) {
    Bytes out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) out.insert(out.end(), 3, img.white(x, y) ? 255 : 0);
    return out;
}

TEST_F(PdfOracles, EveryImagePathIsReadBackExactlyOrCleanly) {
    const Image rgb = oracle::makeDocumentPage(203, 149);
    const Image noise = noiseImage(61, 47, 7);
    const pdf::BilevelImage bilevel = checkerBilevel(203, 149);
    const Bytes rgbRows(rgb.data(), rgb.data() + rgb.byteSize());
    const Bytes noiseRows(noise.data(), noise.data() + noise.byteSize());
    auto greyJpeg = recordWith(4);
    greyJpeg.jpegColorSpace = 1;

    const struct {
        const char* label;
        PdfPage page;
        const Bytes* rows;  // the exact decoded data, for lossless paths
    } cases[] = {
        {"rgb lzw", {rgb, recordWith(5)}, &rgbRows},
        {"noise lzw", {noise, recordWith(5)}, &noiseRows},
        {"rgb raw", {rgb, recordWith(0)}, &rgbRows},
        {"rgb other value", {noise, recordWith(2)}, &noiseRows},
        {"rgb dct", {rgb, recordWith(4)}, nullptr},
        {"grey dct", {rgb, greyJpeg}, nullptr},
        {"bilevel lzw", {bilevel, recordWith(5)}, &bilevel.bytes()},
        {"bilevel run length", {bilevel, recordWith(1)}, &bilevel.bytes()},
        {"bilevel raw", {bilevel, recordWith(0)}, &bilevel.bytes()},
        {"bilevel ccitt value", {bilevel, recordWith(2)}, &bilevel.bytes()},
    };
    for (const auto& c : cases) {
        const std::string path = save(writeDoc({c.page}));
        expectQpdfClean(path, c.label);
        if (c.rows) {
            EXPECT_EQ(decodedStream(path, 3), *c.rows) << c.label;
        }
        const auto pages = render(path, 1, 72);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].width, 595) << c.label;
        EXPECT_EQ(pages[0].height, 842) << c.label;
    }
}

TEST_F(PdfOracles, ThreePagesOnMixedPaperCheckAndRender) {
    std::vector<PdfPage> pages = {
        {oracle::makeDocumentPage(1600, 1200, 1), recordWith(kPdfCompressionLzw)},
        {oracle::makeDocumentPage(1200, 1600, 2), recordWith(kPdfCompressionLzw)},
        {oracle::makeDocumentPage(300, 200, 3), recordWith(kPdfCompressionLzw, 612, 792)},
    };
    const std::string path = save(writeDoc(pages));
    expectQpdfClean(path, "three pages");

    const ToolRun info = run("pdfinfo -f 1 -l 3 '" + path + "'");
    ASSERT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("Pages:           3\n"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("PDF version:     1.4\n"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Page    1 size:  595 x 842 pts (A4)"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Page    2 size:  595 x 842 pts (A4)"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Page    3 size:  612 x 792 pts (letter)"), std::string::npos) << info.output;

    const auto rendered = render(path, 3, 72);
    const int expected[3][2] = {{595, 842}, {595, 842}, {612, 792}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rendered[i].width, expected[i][0]) << "page " << i + 1;
        EXPECT_EQ(rendered[i].height, expected[i][1]) << "page " << i + 1;
    }
    // Page 1's image covers the top and leaves white paper below it.
    const Ppm& first = rendered[0];
    auto at = [&](int x, int y) { return first.rgb[(static_cast<std::size_t>(y) * first.width + x) * 3]; };
    EXPECT_LT(at(150, 100), 250);
    EXPECT_EQ(at(150, 600), 255);
}

TEST_F(PdfOracles, PagesOnTheirOwnSizeOfPaperRenderPixelExact) {
    const Image rgb = noiseImage(97, 61, 11);
    const Image camera = oracle::makeDocumentPage(160, 120, 5);
    const pdf::BilevelImage bilevel = checkerBilevel(83, 41);
    const std::vector<PdfPage> pages = {
        {rgb, recordWith(kPdfCompressionLzw, 97, 61)},
        {camera, recordWith(kPdfCompressionLzw, 160, 120)},
        {bilevel, recordWith(1, 83, 41)},
    };
    const std::string path = save(writeDoc(pages));
    expectQpdfClean(path, "own paper");
    // poppler smooths images drawn at less than four times their size, so
    // each pixel is drawn as a 4 x 4 block and read back from its middle.
    const auto rendered = render(path, 3, 4 * 72);
    const Bytes expected[3] = {Bytes(rgb.data(), rgb.data() + rgb.byteSize()),
                               Bytes(camera.data(), camera.data() + camera.byteSize()), bilevelAsRgb(bilevel)};
    const int widths[3] = {rgb.width(), camera.width(), bilevel.width()};
    for (int i = 0; i < 3; ++i) {
        const Ppm& page = rendered[i];
        const int width = widths[i];
        const int height = static_cast<int>(expected[i].size() / 3) / width;
        ASSERT_EQ(page.width, 4 * width) << "page " << i + 1;
        ASSERT_EQ(page.height, 4 * height) << "page " << i + 1;
        Bytes sampled;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto at = page.rgb.begin() + ((4L * y + 2) * page.width + 4L * x + 2) * 3;
                sampled.insert(sampled.end(), at, at + 3);
            }
        const auto diff = std::mismatch(expected[i].begin(), expected[i].end(), sampled.begin());
        EXPECT_TRUE(diff.first == expected[i].end())
            << "page " << i + 1 << " differs first at byte " << (diff.first - expected[i].begin()) << ": "
            << int(*diff.first) << " rendered as " << int(*diff.second);
    }
}

TEST_F(PdfOracles, InformationDictionaryReadsBack) {
    TIOParamsVals r = recordWith(kPdfCompressionLzw);
    r.pdfTitle = "Scan (1)";
    r.pdfAuthor = "Desk";
    r.pdfCreator = "OrvixCam";
    const std::string path = save(writeDoc({{noiseImage(8, 8, 1), r}}));
    const ToolRun info = run("pdfinfo '" + path + "'");
    ASSERT_EQ(info.status, 0) << info.output;
    for (const char* line : {"Title:           Scan (1)\n", "Author:          Desk\n", "Creator:         OrvixCam\n"})
        EXPECT_NE(info.output.find(line), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("CreationDate:    Tue Jan  2 03:04:05 2024"), std::string::npos) << info.output;
}

}  // namespace
}  // namespace orvix
