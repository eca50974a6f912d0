// The frame's exports as a page script receives them: Base64 text that coreutils
// decodes into documents libtiff, qpdf and poppler accept and read back to the pages.
#include <gtest/gtest.h>

#include <string>

#include "oracles/jpeg_decode.h"
#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"
#include "oracles/synthetic_page.h"
#include "pages/image_readers.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/frame.h"

namespace orvix {
namespace {

using oracle::runCommand;

class FrameExport : public testing::Test {
protected:
    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    oracle::ScratchDir dir;

    void addPage(const Image& image) {
        int i = frame.ImageEnMView1.append();
        frame.ImageEnMView1.setImage(i, image);
    }

    // Decodes the text with coreutils, which also checks the 76-column CR LF layout is plain Base64.
    std::string decodeToFile(const std::string& text, const std::string& name) {
        const std::string b64 = dir.file(name + ".b64");
        oracle::writeFile(b64, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        const std::string out = dir.file(name);
        EXPECT_TRUE(runCommand("tr -d '\\r' < " + b64 + " | base64 -d > " + out));
        return out;
    }
};

TEST_F(FrameExport, NothingToExportGivesEmptyText) {
    EXPECT_EQ("", frame.allImageAsTIFFData());
    EXPECT_EQ("", frame.allImageAsPdfData());
    for (int id : {-1, 0, 1}) EXPECT_EQ("", frame.getJpegDataById(id)) << id;
}

TEST_F(FrameExport, TiffHoldsEveryPageInOrder) {
    const Image a = oracle::makeDocumentPage(160, 120, 1);
    const Image b = oracle::makeDocumentPage(120, 160, 2);
    addPage(a);
    addPage(b);
    const std::string text = frame.allImageAsTIFFData();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ("\r\n", text.substr(76, 2)) << "lines of 76 characters";

    const std::string tiff = decodeToFile(text, "pages.tif");
    auto info = runCommand("tiffinfo " + tiff + " 2>&1");
    ASSERT_TRUE(info) << "tiffinfo refused the document";
    EXPECT_NE(std::string::npos, info->find("JPEG")) << *info;

    auto pages = decodeImages(oracle::readFile(tiff), ImageFormat::Tiff, 0);
    ASSERT_EQ(2u, pages.size());
    EXPECT_EQ(160, pages[0].image.width());
    EXPECT_EQ(120, pages[1].image.width());
    // Exports force JPEG into the TIFF records and LZW into the PDF records.
    EXPECT_EQ(7, frame.ImageEnMView1.record(0).tiffCompression);
    EXPECT_EQ(5, frame.ImageEnMView1.record(1).pdfCompression);
}

TEST_F(FrameExport, PdfPassesQpdfAndRendersEveryPage) {
    for (int i = 0; i < 3; ++i) addPage(oracle::makeDocumentPage(200, 150, 10 + i));
    const std::string pdf = decodeToFile(frame.allImageAsPdfData(), "pages.pdf");
    EXPECT_TRUE(runCommand("qpdf --check " + pdf + " >/dev/null 2>&1")) << "qpdf --check failed";
    auto info = runCommand("pdfinfo " + pdf);
    ASSERT_TRUE(info);
    EXPECT_NE(std::string::npos, info->find("Pages:           3")) << *info;
    EXPECT_TRUE(runCommand("pdftoppm -r 20 " + pdf + " " + dir.file("render") + " 2>&1"));
    for (const char* page : {"render-1.ppm", "render-2.ppm", "render-3.ppm"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(page))) << page;
}

TEST_F(FrameExport, JpegByIdIsStretchedToTheCaptureSize) {
    addPage(oracle::makeDocumentPage(120, 160, 3));  // a page turned on its side
    struct Case {
        int width, height;
        int expectWidth, expectHeight;
    };
    const Case cases[] = {
        {0, 0, 120, 160},        // no format chosen: the page's own size
        {160, 120, 160, 120},    // stretched, not turned back
        {0, 80, 120, 80},        // 0 keeps that side
    };
    for (const Case& c : cases) {
        frame.selectedWidth = c.width;
        frame.selectedHeight = c.height;
        const std::string jpeg = decodeToFile(frame.getJpegDataById(0), "page.jpg");
        auto decoded = oracle::decodeJpeg(oracle::readFile(jpeg));
        EXPECT_EQ(c.expectWidth, decoded.width) << c.width << "x" << c.height;
        EXPECT_EQ(c.expectHeight, decoded.height) << c.width << "x" << c.height;
    }
    EXPECT_EQ("", frame.getJpegDataById(1)) << "id = count";
    EXPECT_EQ(1, frame.getImageCount());
}

}  // namespace
}  // namespace orvix
