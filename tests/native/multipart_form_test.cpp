// The upload form as a stream: exact bytes, a length known in advance, any
// read size, and a body that a real multipart parser reads back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors.h"
#include "net/form_boundary.h"
#include "net/multipart_form.h"
#include "oracles/multipart.h"
#include "oracles/scratch_dir.h"

namespace orvix::net {
namespace {

std::string readAll(MultipartForm& form, std::size_t step) {
    std::string out;
    std::vector<std::uint8_t> buffer(step);
    for (;;) {
        const std::size_t n = form.read(buffer);
        if (n == 0) return out;
        out.append(reinterpret_cast<const char*>(buffer.data()), n);
    }
}

void writeText(const std::string& path, const std::string& text) {
    oracle::writeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(FormBoundary, DigitsOfTheLocalTime) {
    struct Case {
        LocalTime time;
        const char* boundary;
    };
    const Case cases[] = {
        {{2023, 7, 15, 14, 23, 5, 123}, "--------071523142305123"},
        {{2000, 1, 2, 3, 4, 5, 6}, "--------010200030405006"},
        {{2099, 12, 31, 23, 59, 59, 999}, "--------123199235959999"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.boundary, formatBoundary(c.time));
    const std::string now = formatBoundary(localTimeNow());
    EXPECT_EQ(23u, now.size());
    EXPECT_EQ(std::string::npos, now.find_first_not_of("-0123456789"));
}

class Form : public testing::Test {
protected:
    oracle::ScratchDir dir;
};

TEST_F(Form, BytesInFieldOrderWithTheClosingDelimiter) {
    const std::string file = dir.file("~~A1.tiff");
    writeText(file, std::string("II*\0\r\n--", 8));
    MultipartForm form("--------071523142305123");
    form.addField("id", "42");
    form.addField("desc", "");
    form.addFile("image", file, ".tiff");
    const std::string b = "--------071523142305123";
    const std::string expected =
        "--" + b + "\r\nContent-Disposition: form-data; name=\"id\"\r\n\r\n42\r\n" +
        "--" + b + "\r\nContent-Disposition: form-data; name=\"desc\"\r\n\r\n\r\n" +
        "--" + b + "\r\nContent-Disposition: form-data; name=\"image\"; filename=\"" + file +
        "\"\r\nContent-Type: .tiff\r\n\r\n" + std::string("II*\0\r\n--", 8) + "\r\n" +
        "--" + b + "--\r\n";
    EXPECT_EQ("multipart/form-data; boundary=" + b, form.contentType());
    EXPECT_EQ(expected.size(), form.size());
    EXPECT_EQ(expected, readAll(form, 65536));
}

TEST_F(Form, AnyReadSizeGivesTheSameStream) {
    const std::string big = dir.file("big.pdf");
    std::string content(100000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
    writeText(big, content);
    const auto build = [&](MultipartForm& form) {
        form.addField("imageCount", "3");
        form.addFile("image", big, ".pdf");
        form.addField("id", "\xB2\xE2\xCA\xD4");  // GBK bytes go out unchanged
    };
    MultipartForm reference("--------000000000000000");
    build(reference);
    const std::string whole = readAll(reference, 1 << 20);
    ASSERT_EQ(reference.size(), whole.size());
    for (std::size_t step : {1u, 7u, 4096u, 32768u}) {
        MultipartForm form("--------000000000000000");
        build(form);
        EXPECT_EQ(whole, readAll(form, step)) << step;
    }
}

TEST_F(Form, WerkzeugReadsFieldsAndFilesBack) {
    std::vector<std::string> files;
    for (int i = 0; i < 2; ++i) {
        files.push_back(dir.file("~~" + std::to_string(i) + "-1.jpg"));
        std::string bytes(5000 + i, static_cast<char>(0xFF));
        bytes += "\r\n--------boundary-lookalike\r\n";
        writeText(files.back(), bytes);
    }
    MultipartForm form(formatBoundary(localTimeNow()));
    form.addField("imageCount", "2");
    form.addField("id", "a\"b");
    form.addField("desc", "line\r\nbreak");
    for (const auto& f : files) form.addFile("image", f, "image/jpeg");
    const std::string request = "POST /up HTTP/1.0\r\nContent-Type: " + form.contentType() +
                                "\r\nContent-Length: " + std::to_string(form.size()) + "\r\n\r\n" +
                                readAll(form, 32768);
    oracle::ScratchDir parsed;
    const auto parts = oracle::parseMultipart(request, parsed);
    ASSERT_TRUE(parts) << "Werkzeug rejected the form";
    ASSERT_EQ(5u, parts->size());
    EXPECT_EQ("2", (*parts)[0].value);
    EXPECT_EQ("line\r\nbreak", (*parts)[2].value);
    for (int i = 0; i < 2; ++i) {
        const auto& part = (*parts)[3 + i];
        EXPECT_TRUE(part.isFile);
        EXPECT_EQ("image", part.name);
        EXPECT_EQ(files[i], part.fileName);
        EXPECT_EQ("image/jpeg", part.contentType);
        EXPECT_EQ(oracle::readFile(files[i]), part.content);
    }
}

TEST_F(Form, FileProblemsAreErrors) {
    MultipartForm form("--------000000000000000");
    EXPECT_THROW(form.addFile("image", dir.file("missing.tiff"), ".tiff"), Error);

    const std::string file = dir.file("shrinks.tiff");
    writeText(file, std::string(1000, 'x'));
    MultipartForm shrinking("--------000000000000000");
    shrinking.addFile("image", file, ".tiff");
    writeText(file, "tiny");  // truncated after the length was announced
    EXPECT_THROW(readAll(shrinking, 256), Error);
}

}  // namespace
}  // namespace orvix::net
