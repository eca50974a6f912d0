// Saves to files the user names: the dialog is scripted, the files are read
// back by libtiff, qpdf/poppler and the project's decoders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "encoding/save/save_formats.h"
#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"
#include "oracles/synthetic_page.h"
#include "pages/image_readers.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/frame.h"
#include "ui/save_filter.h"
#include "ui/texts.h"

namespace orvix {
namespace {

using oracle::runCommand;

// A page of a few flat colours, so palette formats must keep it exactly.
Image blocks(int width, int height, int seed) {
    Image image(width, height);
    const Rgb colours[] = {{255, 255, 255}, {0, 0, 0}, {200, 30, 40}, {10, 120, 250}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, colours[(x / 5 + y / 3 + seed) % 4]);
    return image;
}

Image greys(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto v = static_cast<std::uint8_t>((x * 7 + y * 13) % 256);
            image.setPixel(x, y, {v, v, v});
        }
    return image;
}

Image blackAndWhite(int width, int height) {
    Image image(width, height, {255, 255, 255});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x * x + y) % 3 == 0) image.setPixel(x, y, {0, 0, 0});
    return image;
}

double meanAbsDifference(const Image& a, const Image& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.byteSize(); ++i) sum += std::abs(int(a.data()[i]) - int(b.data()[i]));
    return sum / static_cast<double>(a.byteSize());
}

std::string fileType(const std::string& path) {
    return runCommand("file -b " + path).value_or("");
}

class FrameSave : public testing::Test {
protected:
    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    oracle::ScratchDir dir;

    void addPage(const Image& image) {
        const int i = frame.ImageEnMView1.append();
        frame.ImageEnMView1.setImage(i, image);
    }
    bool nothingWritten() const { return std::filesystem::is_empty(dir.path()); }
    void expectNoticeOnly() {
        ASSERT_EQ(1u, shell.messageBoxes.size());
        EXPECT_EQ((test::MessageBoxCall{texts::kNoImageInfo, texts::kCaptionNotice, mb::kNotice}),
                  shell.messageBoxes[0]);
        EXPECT_TRUE(shell.saveFileRequests.empty()) << "no dialog without an image";
    }
};

TEST(SaveFormats, ExtensionIsTheLastNamesSuffixInLowerCase) {
    struct Case {
        const char* name;
        const char* extension;
    } const cases[] = {
        {"C:\\out\\Scan.TIF", ".tif"}, {"C:\\a.b\\noext", ""},  {"/tmp/a.b/x.TiFf", ".tiff"},
        {"page.jpeg", ".jpeg"},        {"archive.tar.PDF", ".pdf"}, {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.extension, lowerExtension(c.name)) << c.name;
}

TEST(SaveFormats, FilterHasFifteenEntriesFromJpegToDcx) {
    const std::string filter = saveImageFilter();
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t bar; (bar = filter.find('|', start)) != std::string::npos; start = bar + 1)
        fields.push_back(filter.substr(start, bar - start));
    fields.push_back(filter.substr(start));
    ASSERT_EQ(30u, fields.size());
    EXPECT_EQ("JPEG Bitmap (JPG)", fields[0]);
    EXPECT_EQ("*.jpg", fields[1]);
    EXPECT_EQ("Multipage PCX (DCX)", fields[28]);
    EXPECT_EQ("*.dcx", fields[29]);
}

TEST_F(FrameSave, EmptyStripTellsAndReturnsFalseWithoutADialog) {
    EXPECT_FALSE(frame.saveAllWithDialog());
    expectNoticeOnly();
}

TEST_F(FrameSave, EmptyViewTellsWithoutADialog) {
    frame.btn12Click();
    expectNoticeOnly();
}

TEST_F(FrameSave, CancelledOrBlankNamesWriteNothing) {
    addPage(blocks(20, 10, 0));
    frame.Img1.image = blocks(20, 10, 1);
    const std::optional<std::string> answers[] = {std::nullopt, std::string("   "), std::string("")};
    for (const auto& answer : answers) {
        shell.saveFileAnswers.push_back(answer);
        EXPECT_FALSE(frame.saveAllWithDialog());
        shell.saveFileAnswers.push_back(answer);
        frame.btn12Click();
    }
    EXPECT_TRUE(nothingWritten());
    EXPECT_TRUE(shell.messageBoxes.empty());
}

TEST_F(FrameSave, AllPagesAsTiffWhateverTheCase) {
    const Image pages[] = {oracle::makeDocumentPage(160, 120, 1), oracle::makeDocumentPage(120, 160, 2),
                           oracle::makeDocumentPage(100, 100, 3)};
    for (const Image& p : pages) addPage(p);
    const std::string path = dir.file("all.TIF");
    shell.saveFileAnswers.push_back(path);
    EXPECT_TRUE(frame.saveAllWithDialog());

    ASSERT_EQ(1u, shell.saveFileRequests.size());
    EXPECT_EQ(saveImageFilter(), shell.saveFileRequests[0].filter);
    EXPECT_EQ("tiff", shell.saveFileRequests[0].defaultExtension);
    EXPECT_TRUE(runCommand("tiffinfo " + path + " >/dev/null 2>&1")) << "tiffinfo refused the file";
    const auto decoded = decodeImages(oracle::readFile(path), ImageFormat::Tiff, 0);
    ASSERT_EQ(3u, decoded.size());
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pages[i].width(), decoded[i].image.width()) << i;
        EXPECT_EQ(pages[i].height(), decoded[i].image.height()) << i;
        EXPECT_LT(meanAbsDifference(pages[i], decoded[i].image), 4.0) << "JPEG pages, page " << i;
    }
}

TEST_F(FrameSave, AllPagesAsPdf) {
    for (int i = 0; i < 3; ++i) addPage(oracle::makeDocumentPage(200, 150, 10 + i));
    const std::string path = dir.file("all.pdf");
    shell.saveFileAnswers.push_back(path);
    EXPECT_TRUE(frame.saveAllWithDialog());
    EXPECT_TRUE(runCommand("qpdf --check " + path + " >/dev/null 2>&1")) << "qpdf --check failed";
    const auto info = runCommand("pdfinfo " + path);
    ASSERT_TRUE(info);
    EXPECT_NE(std::string::npos, info->find("Pages:           3")) << *info;
}

TEST_F(FrameSave, AllPagesAsGifFrames) {
    const Image pages[] = {blocks(40, 30, 0), blocks(40, 30, 1), blocks(40, 30, 2)};
    for (const Image& p : pages) addPage(p);
    const std::string path = dir.file("all.Gif");
    shell.saveFileAnswers.push_back(path);
    EXPECT_TRUE(frame.saveAllWithDialog());
    EXPECT_NE(std::string::npos, fileType(path).find("GIF image data")) << fileType(path);
    const auto decoded = decodeImages(oracle::readFile(path), ImageFormat::Gif, 0);
    ASSERT_EQ(3u, decoded.size());
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(pages[i], decoded[i].image) << "frame " << i;
}

TEST_F(FrameSave, GifOfManyColoursKeepsEveryFrameClose) {
    const Image pages[] = {oracle::makeDocumentPage(64, 48, 4), oracle::makeDocumentPage(64, 48, 5)};
    for (const Image& p : pages) addPage(p);
    const std::string path = dir.file("all.gif");
    shell.saveFileAnswers.push_back(path);
    EXPECT_TRUE(frame.saveAllWithDialog());
    const auto decoded = decodeImages(oracle::readFile(path), ImageFormat::Gif, 0);
    ASSERT_EQ(2u, decoded.size());
    for (std::size_t i = 0; i < 2; ++i) EXPECT_LT(meanAbsDifference(pages[i], decoded[i].image), 24.0) << i;
}

TEST_F(FrameSave, AllPagesToASingleImageFormatWriteNothingAndSayNo) {
    addPage(blocks(20, 10, 0));
    addPage(blocks(20, 10, 1));
    for (const char* name : {"all.jpg", "all.png", "all.bmp", "all.dcx", "all.ps", "all.avi", "all.ico", "all"}) {
        shell.saveFileAnswers.push_back(dir.file(name));
        EXPECT_FALSE(frame.saveAllWithDialog()) << name;
    }
    EXPECT_TRUE(nothingWritten());
}

TEST_F(FrameSave, CurrentImageByExtension) {
    struct Case {
        const char* name;
        Image image;
        ImageFormat reader;
        const char* fileSays;
        bool lossless;
    };
    // Odd widths exercise BMP row padding and PBM bit padding.
    const Case cases[] = {
        {"one.jpg", oracle::makeDocumentPage(65, 41, 7), ImageFormat::Jpeg, "JPEG image data", false},
        {"one.JPEG", oracle::makeDocumentPage(65, 41, 8), ImageFormat::Jpeg, "JPEG image data", false},
        {"one.tif", oracle::makeDocumentPage(65, 41, 9), ImageFormat::Tiff, "TIFF image data", true},
        {"one.Tiff", blocks(33, 21, 3), ImageFormat::Tiff, "TIFF image data", true},
        {"one.png", oracle::makeDocumentPage(65, 41, 10), ImageFormat::Png, "PNG image data", true},
        {"one.BMP", oracle::makeDocumentPage(65, 41, 11), ImageFormat::Bmp, "PC bitmap", true},
        {"one.ppm", oracle::makeDocumentPage(65, 41, 12), ImageFormat::Pnm, "pixmap", true},
        {"one.pxm", blocks(33, 21, 1), ImageFormat::Pnm, "pixmap", true},
        {"one.pgm", greys(37, 19), ImageFormat::Pnm, "greymap", true},
        {"one.pbm", blackAndWhite(37, 19), ImageFormat::Pnm, "bitmap", true},
        {"one.gif", blocks(33, 21, 2), ImageFormat::Gif, "GIF image data", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame.Img1.image = c.image;
        const std::string path = dir.file(c.name);
        shell.saveFileAnswers.push_back(path);
        frame.btn12Click();
        EXPECT_NE(std::string::npos, fileType(path).find(c.fileSays)) << fileType(path);
        const auto decoded = decodeImages(oracle::readFile(path), c.reader, 0);
        ASSERT_EQ(1u, decoded.size());
        ASSERT_EQ(c.image.width(), decoded[0].image.width());
        ASSERT_EQ(c.image.height(), decoded[0].image.height());
        if (c.lossless)
            EXPECT_EQ(c.image, decoded[0].image);
        else
            EXPECT_LT(meanAbsDifference(c.image, decoded[0].image), 6.0);
    }
    EXPECT_TRUE(shell.messageBoxes.empty());
    ASSERT_FALSE(shell.saveFileRequests.empty());
    EXPECT_EQ("jpg", shell.saveFileRequests[0].defaultExtension);
}

TEST_F(FrameSave, CurrentImageAsJpegFollowsTheViewsRecord) {
    frame.Img1.image = oracle::makeDocumentPage(80, 60, 22);
    frame.Img1.record.jpegProgressive = true;
    frame.Img1.record.dpiX = frame.Img1.record.dpiY = 150;
    const std::string path = dir.file("one.jpe");
    shell.saveFileAnswers.push_back(path);
    frame.btn12Click();
    const auto decoded = decodeImages(oracle::readFile(path), ImageFormat::Jpeg, 1);
    ASSERT_EQ(1u, decoded.size());
    EXPECT_TRUE(decoded[0].progressive);
    EXPECT_EQ(150, decoded[0].dpiX);
}

TEST_F(FrameSave, CurrentImageAsTiffIsOneLzwPageWithPredictor) {
    frame.Img1.image = oracle::makeDocumentPage(80, 60, 20);
    const std::string path = dir.file("one.tif");
    shell.saveFileAnswers.push_back(path);
    frame.btn12Click();
    const auto info = runCommand("tiffinfo " + path + " 2>&1");
    ASSERT_TRUE(info);
    EXPECT_NE(std::string::npos, info->find("Compression Scheme: LZW")) << *info;
    EXPECT_NE(std::string::npos, info->find("Predictor: horizontal differencing")) << *info;
    EXPECT_EQ(1u, decodeImages(oracle::readFile(path), ImageFormat::Tiff, 0).size());
    EXPECT_EQ(5, frame.Img1.record.tiffCompression);
    EXPECT_EQ(5, frame.Img1.record.pdfCompression);
}

TEST_F(FrameSave, CurrentImageAsPdfIsOneLzwPage) {
    frame.Img1.image = oracle::makeDocumentPage(80, 60, 21);
    const std::string path = dir.file("one.PDF");
    shell.saveFileAnswers.push_back(path);
    frame.btn12Click();
    EXPECT_TRUE(runCommand("qpdf --check " + path + " >/dev/null 2>&1")) << "qpdf --check failed";
    const auto info = runCommand("pdfinfo " + path);
    ASSERT_TRUE(info);
    EXPECT_NE(std::string::npos, info->find("Pages:           1")) << *info;
    const std::string plain = dir.file("plain.pdf");
    ASSERT_TRUE(runCommand("qpdf --qdf --object-streams=disable --decode-level=none " + path + " " + plain));
    const auto bytes = oracle::readFile(plain);
    EXPECT_NE(std::string::npos, std::string(bytes.begin(), bytes.end()).find("/LZWDecode"));
}

TEST_F(FrameSave, BitmapThresholdIsGrey128) {
    struct Case {
        std::uint8_t grey;
        Rgb expected;
    } const cases[] = {{0, {0, 0, 0}}, {127, {0, 0, 0}}, {128, {255, 255, 255}}, {255, {255, 255, 255}}};
    for (const Case& c : cases) {
        frame.Img1.image = Image(9, 2, {c.grey, c.grey, c.grey});
        const std::string path = dir.file("t" + std::to_string(c.grey) + ".pbm");
        shell.saveFileAnswers.push_back(path);
        frame.btn12Click();
        const auto decoded = decodeImages(oracle::readFile(path), ImageFormat::Pnm, 1);
        ASSERT_EQ(1u, decoded.size());
        EXPECT_EQ(Image(9, 2, c.expected), decoded[0].image) << int(c.grey);
    }
}

TEST_F(FrameSave, CurrentImageToFormatsNotBuiltWritesNothing) {
    frame.Img1.image = blocks(20, 10, 0);
    for (const char* name : {"one.tga", "one.pcx", "one.jp2", "one.xyz", "one"}) {
        shell.saveFileAnswers.push_back(dir.file(name));
        frame.btn12Click();
    }
    EXPECT_TRUE(nothingWritten());
    EXPECT_TRUE(shell.messageBoxes.empty());
}

}  // namespace
}  // namespace orvix
