// Uploads from the frame against a loopback peer: the request a real multipart
// parser reads back to the very documents the exports give, the outcome seen by
// the script, and a temporary folder left as it was found.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "encoding/posix/posix_temp_folder.h"
#include "oracles/jpeg_decode.h"
#include "oracles/multipart.h"
#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"
#include "oracles/synthetic_page.h"
#include "support/loopback_server.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/frame.h"

namespace orvix {
namespace {

using test::LoopbackServer;

const char* const kOk = "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\nreceived";

class FrameUpload : public testing::Test {
protected:
    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    oracle::ScratchDir temp;    // the frame's temporary folder
    oracle::ScratchDir parsed;  // what the parser extracts

    void SetUp() override { frame.setTempFolder(std::make_unique<PosixTempFolder>(temp.path().string())); }

    void addPages(int n) {
        for (int i = 0; i < n; ++i) {
            const int at = frame.ImageEnMView1.append();
            frame.ImageEnMView1.setImage(at, oracle::makeDocumentPage(120 + 20 * i, 90, i + 1));
        }
    }
    static std::string url(const LoopbackServer& server) {
        return "http://127.0.0.1:" + std::to_string(server.port()) + "/up?x=1";
    }
    bool tempFolderEmpty() const { return std::filesystem::is_empty(temp.path()); }

    std::string decodeBase64(const std::string& text) {
        const std::string b64 = parsed.file("doc.b64");
        oracle::writeFile(b64, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        return *oracle::runCommand("tr -d '\\r' < " + b64 + " | base64 -d");
    }
    std::vector<oracle::FormPart> parse(const std::string& request) {
        auto parts = oracle::parseMultipart(request, parsed);
        EXPECT_TRUE(parts) << "the parser rejected the request";
        return parts.value_or(std::vector<oracle::FormPart>{});
    }
};

TEST_F(FrameUpload, EmptyStripSendsNothing) {
    LoopbackServer server(kOk);
    EXPECT_FALSE(frame.uploadToServer(url(server), "1", "d"));
    EXPECT_EQ("", frame.uploadToServerWithCustResult(url(server), "1", "d"));
    EXPECT_EQ("", frame.uploadPdfToServer(url(server), "1", "d"));
    EXPECT_EQ("", frame.uploadAllasEachJpgToUrl(url(server), "1", "d", 80));
    EXPECT_EQ("", server.request()) << "no connection was made";
    EXPECT_TRUE(tempFolderEmpty());
}

TEST_F(FrameUpload, TiffVariantSendsOneDocumentOfAllPages) {
    addPages(3);
    const std::string exported = decodeBase64(frame.allImageAsTIFFData());
    LoopbackServer server(kOk);
    EXPECT_TRUE(frame.uploadToServer(url(server), "id-7", ""));
    const std::string& request = server.request();

    EXPECT_EQ(0u, request.find("POST /up?x=1 HTTP/1.0\r\nConnection: keep-alive\r\n"
                               "Content-Type: multipart/form-data; boundary=--------"));
    const auto parts = parse(request);
    ASSERT_EQ(4u, parts.size());
    const std::pair<const char*, const char*> fields[] = {{"id", "id-7"}, {"desc", ""}, {"imageCount", "3"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(parts[i].isFile);
        EXPECT_EQ(fields[i].first, parts[i].name);
        EXPECT_EQ(fields[i].second, parts[i].value);
    }
    const auto& image = parts[3];
    EXPECT_EQ("image", image.name);
    EXPECT_EQ(".tiff", image.contentType);
    EXPECT_EQ(temp.path().string(), std::filesystem::path(image.fileName).parent_path().string())
        << "the full temporary path is the file name";
    EXPECT_EQ(".tiff", std::filesystem::path(image.fileName).extension().string());
    EXPECT_EQ(exported, std::string(image.content.begin(), image.content.end()));
    EXPECT_TRUE(tempFolderEmpty()) << "the document and its placeholder are gone";
}

TEST_F(FrameUpload, PdfVariantReturnsTheReplyAndSendsThePdf) {
    addPages(2);
    const std::string exported = decodeBase64(frame.allImageAsPdfData());
    LoopbackServer server("HTTP/1.0 200 OK\r\n\r\n{\"saved\":true}");
    EXPECT_EQ("{\"saved\":true}", frame.uploadPdfToServer(url(server), "9", "\xB2\xE2"));
    const auto parts = parse(server.request());
    ASSERT_EQ(4u, parts.size());
    EXPECT_EQ("\xB2\xE2", parts[1].value);
    EXPECT_EQ(".pdf", parts[3].contentType);
    EXPECT_EQ(exported, std::string(parts[3].content.begin(), parts[3].content.end()));
    EXPECT_TRUE(tempFolderEmpty());
}

TEST_F(FrameUpload, JpegVariantSendsEveryPageAndLeavesTheLastShown) {
    addPages(2);
    LoopbackServer server(kOk);
    EXPECT_EQ("received", frame.uploadAllasEachJpgToUrl(url(server), "5", "two", 35));
    const auto parts = parse(server.request());
    ASSERT_EQ(5u, parts.size());
    const char* const names[] = {"imageCount", "id", "desc", "image", "image"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(names[i], parts[i].name) << i;
    EXPECT_EQ("2", parts[0].value);
    for (int page = 0; page < 2; ++page) {
        const auto& part = parts[3 + page];
        EXPECT_EQ("image/jpeg", part.contentType);
        EXPECT_NE(std::string::npos, part.fileName.find("/~~" + std::to_string(page)));
        const auto decoded = oracle::decodeJpeg(part.content);
        ASSERT_TRUE(decoded.ok) << page << ": " << decoded.error;
        EXPECT_EQ(frame.ImageEnMView1.image(page).width(), decoded.width) << "page order";
    }
    EXPECT_EQ(1, frame.ImageEnMView1.selected());
    EXPECT_EQ(frame.ImageEnMView1.image(1).width(), frame.Img1.image.width());
    EXPECT_EQ(35, frame.Img1.record.jpegQuality);
    EXPECT_TRUE(tempFolderEmpty());
}

// What each variant tells the script, for replies of every kind of outcome.
struct OutcomeCase {
    const char* name;
    std::string reply;
    bool success;
    std::string text;
};

class FrameUploadOutcome : public FrameUpload, public testing::WithParamInterface<OutcomeCase> {};

TEST_P(FrameUploadOutcome, ReachesTheScriptAndCleansUp) {
    addPages(1);
    const OutcomeCase& c = GetParam();
    {
        LoopbackServer server(c.reply);
        EXPECT_EQ(c.success, frame.uploadToServer(url(server), "1", "d"));
    }
    for (auto upload : {&TmyOrvixCamFrame::uploadToServerWithCustResult, &TmyOrvixCamFrame::uploadPdfToServer}) {
        LoopbackServer server(c.reply);
        EXPECT_EQ(c.text, (frame.*upload)(url(server), "1", "d"));
    }
    {
        LoopbackServer server(c.reply);
        EXPECT_EQ(c.text, frame.uploadAllasEachJpgToUrl(url(server), "1", "d", 80));
    }
    EXPECT_TRUE(tempFolderEmpty());
    EXPECT_EQ(1, frame.getImageCount()) << "the strip stays intact";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FrameUploadOutcome,
    testing::Values(
        OutcomeCase{"Ok", kOk, true, "received"},
        OutcomeCase{"NoContent", "HTTP/1.1 204 No Content\r\n\r\n", true, ""},
        OutcomeCase{"CreatedWithLocation", "HTTP/1.1 201 Created\r\nLocation: /x\r\nContent-Length: 2\r\n\r\nok", false, ""},
        OutcomeCase{"Found", "HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", false, ""},
        OutcomeCase{"ServerError", "HTTP/1.1 500 Oops\r\nContent-Length: 10\r\n\r\nerror page", false, ""},
        OutcomeCase{"ChunkedCutShort", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\npart\r\n9\r\nlo", false, "partlo"},
        OutcomeCase{"LengthEarlyClose", "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\nshort", true, "short"},
        OutcomeCase{"Garbage", "nonsense\r\n\r\n", false, ""},
        OutcomeCase{"ClosedWithoutReply", "", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameUpload, UnusableUrlsFailWithoutConnectingAndCleanUp) {
    addPages(1);
    LoopbackServer server(kOk);
    const std::string port = std::to_string(server.port());
    const std::vector<std::string> unusable = {"https://127.0.0.1:" + port + "/up", "127.0.0.1:" + port + "/up", "",
                                               "http://", "ftp://127.0.0.1/up"};
    for (const std::string& bad : unusable) {
        EXPECT_FALSE(frame.uploadToServer(bad, "1", "d")) << bad;
        EXPECT_EQ("", frame.uploadAllasEachJpgToUrl(bad, "1", "d", 80)) << bad;
    }
    EXPECT_EQ("", server.request()) << "nothing reached the server";
    EXPECT_TRUE(tempFolderEmpty());

    // Nobody listens on a port that was just closed.
    const std::string closed = url(server);
    EXPECT_FALSE(frame.uploadToServer(closed, "1", "d"));
    EXPECT_TRUE(tempFolderEmpty());
}

TEST_F(FrameUpload, DocumentThatCannotBeWrittenLeavesNothingBehind) {
    addPages(1);
    // A page with no pixels makes the writers refuse, after the file was created.
    frame.ImageEnMView1.append();
    LoopbackServer server(kOk);
    EXPECT_ANY_THROW(frame.uploadToServer(url(server), "1", "d"));
    EXPECT_ANY_THROW(frame.uploadPdfToServer(url(server), "1", "d"));
    EXPECT_EQ("", server.request());
    EXPECT_TRUE(tempFolderEmpty());
    EXPECT_EQ(2, frame.getImageCount());
}

}  // namespace
}  // namespace orvix
