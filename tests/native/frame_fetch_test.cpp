// Loading pages and the watermark picture from a url, over a scripted fetcher.
#include <gtest/gtest.h>

#include <deque>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "errors.h"
#include "net/url_fetcher.h"
#include "support/fetch_fixtures.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/edit/edit_tools.h"
#include "ui/edit/stamper.h"
#include "ui/frame.h"

namespace orvix {
namespace {

const std::string kCount = "\xca\xfd\xc1\xbf:";  // 数量:

// Answers fetches from a queue: a document, a failure (nullopt), or a throw.
class ScriptedFetcher : public net::UrlFetcher {
public:
    struct Answer {
        std::optional<net::Fetched> fetched;
        bool raise = false;
    };
    std::deque<Answer> answers;
    std::vector<std::string> urls;

    std::optional<net::Fetched> fetch(std::string_view url) override {
        urls.emplace_back(url);
        if (answers.empty()) return std::nullopt;
        Answer a = std::move(answers.front());
        answers.pop_front();
        if (a.raise) throw std::bad_alloc();
        return a.fetched;
    }
};

struct Rig {
    Rig() {
        auto f = std::make_unique<ScriptedFetcher>();
        fetcher = f.get();
        frame.setUrlFetcher(std::move(f));
        frame.Img1.clientWidth = 400;
        frame.Img1.clientHeight = 300;
    }
    void serve(const std::string& file, const std::string& hint) {
        fetcher->answers.push_back({net::Fetched{test::fetchFixtures()->bytes(file), hint}});
    }
    void serveBytes(std::vector<std::uint8_t> data, const std::string& hint) {
        fetcher->answers.push_back({net::Fetched{std::move(data), hint}});
    }
    void fail() { fetcher->answers.push_back({std::nullopt}); }
    void raise() { fetcher->answers.push_back({std::nullopt, true}); }
    // Two pages from an earlier load, the first shown, and some zoom.
    void preload() {
        for (int k = 0; k < 2; ++k) frame.ImageEnMView1.setImage(frame.ImageEnMView1.append(), Image(30, 20, Rgb{1, 2, 3}));
        frame.Img1.image = Image(30, 20, Rgb{1, 2, 3});
        frame.updateCountLabel();
    }

    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    ScriptedFetcher* fetcher = nullptr;
};

#define REQUIRE_FIXTURES() \
    if (!test::fetchFixtures()) GTEST_SKIP() << "Pillow (python3-pil) is needed to write the documents"

struct PageCase {
    const char* name;
    const char* file;
    const char* hint;
    std::vector<Rgb> pageColours;  // top-left pixel of each page
};

TEST(LoadImageFromUrl, PagesOfEachKindOfDocument) {
    REQUIRE_FIXTURES();
    const PageCase cases[] = {
        {"3-page TIFF", "pages.tif", "tiff", {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}}},
        {"TIFF named by content, not hint", "pages.tif", "octet-stream", {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}}},
        {"TIFF whose page 3 is broken", "broken.tif", "tiff", {{200, 0, 0}, {0, 200, 0}}},
        {"5-frame GIF", "frames.gif", "gif",
         {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}}},
        {"GIF cut inside frame 3", "cut.gif", "gif", {{255, 0, 0}, {0, 255, 0}}},
        {"JPEG as image/jpeg", "photo.jpg", "jpeg", {{30, 120, 210}}},
        {"JPEG hint in upper case", "photo.jpg", "JPEG", {{30, 120, 210}}},
        {"JPEG as octet-stream", "photo.jpg", "octet-stream", {}},
        {"JPEG without Content-Type", "photo.jpg", "", {}},
        {"JPEG with parameters after the subtype", "photo.jpg", "jpeg; charset=binary", {}},
        {"PNG as image/png", "logo.png", "png", {{255, 255, 255}}},
        {"HTML error page", "missing.html", "html", {}},
        {"HTML served as image/jpeg", "missing.html", "jpeg", {}},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.preload();
        rig.serve(c.file, c.hint);
        EXPECT_TRUE(rig.frame.loadImageFromUrl("http://example.test/doc"));
        const PageStrip& strip = rig.frame.ImageEnMView1;
        EXPECT_EQ(strip.count(), static_cast<int>(c.pageColours.size()));
        if (strip.count() != static_cast<int>(c.pageColours.size())) continue;
        for (int i = 0; i < strip.count(); ++i) {
            const Rgb got = strip.image(i).pixel(0, 0);
            const Rgb want = c.pageColours[static_cast<std::size_t>(i)];
            // JPEG is lossy; the others are exact.
            EXPECT_NEAR(got.r, want.r, 3) << "page " << i;
            EXPECT_NEAR(got.g, want.g, 3) << "page " << i;
            EXPECT_NEAR(got.b, want.b, 3) << "page " << i;
        }
        EXPECT_EQ(rig.frame.lblPicNumbers, kCount + std::to_string(c.pageColours.size()));
        if (c.pageColours.empty()) {
            EXPECT_EQ(strip.selected(), -1);
            // Cleared to the background, keeping its size.
            EXPECT_EQ(rig.frame.Img1.image, Image(30, 20, kButtonFace));
        } else {
            EXPECT_EQ(strip.selected(), 0);
            EXPECT_EQ(rig.frame.Img1.image, strip.image(0));
        }
    }
}

TEST(LoadImageFromUrl, FirstPageIsShownFittedInZoomModeWithTheFilesRecords) {
    REQUIRE_FIXTURES();
    Rig rig;
    int shows = 0;
    rig.frame.beforeShowPage = [&] { ++shows; };
    rig.frame.Img1.clientHeight = 200;
    rig.serve("pages.tif", "tiff");
    ASSERT_TRUE(rig.frame.loadImageFromUrl("http://example.test/pages.tif"));
    EXPECT_EQ(rig.frame.lblPicNumbers, "\xca\xfd\xc1\xbf:3");
    EXPECT_EQ(shows, 1);
    // 24 x 16 in 400 x 200: the whole image fits at 1250 %, not the
    // width-only zoom that showing a page alone gives.
    EXPECT_DOUBLE_EQ(rig.frame.Img1.zoom, 1250.0);
    EXPECT_FALSE(rig.frame.Img1.autoFit);
    EXPECT_EQ(rig.frame.edit().mouseMode(), ViewMouseMode::Zoom);
    for (int i = 0; i < 3; ++i) {
        const TIOParamsVals& record = rig.frame.ImageEnMView1.record(i);
        EXPECT_EQ(record.dpiX, 200) << "page " << i;
        EXPECT_EQ(record.dpiY, 200) << "page " << i;
        EXPECT_EQ(record.samplesPerPixel, 3) << "page " << i;
    }
    EXPECT_EQ(rig.fetcher->urls, std::vector<std::string>{"http://example.test/pages.tif"});
}

TEST(LoadImageFromUrl, FailedFetchClearsTheStripAndStillSucceeds) {
    Rig rig;
    rig.preload();
    rig.fail();
    EXPECT_TRUE(rig.frame.loadImageFromUrl("C:\\pictures\\a.jpg"));
    EXPECT_EQ(rig.frame.ImageEnMView1.count(), 0);
    EXPECT_EQ(rig.frame.ImageEnMView1.selected(), -1);
    EXPECT_EQ(rig.frame.lblPicNumbers, kCount + "0");
    EXPECT_EQ(rig.frame.Img1.image, Image(30, 20, kButtonFace));
    // The mode stays where it was: only loaded pages switch it to zoom.
    EXPECT_EQ(rig.frame.edit().mouseMode(), ViewMouseMode::ZoomAndSelectZoom);
}

TEST(LoadImageFromUrl, AFetchAfterFailedOnesBehavesLikeTheFirst) {
    REQUIRE_FIXTURES();
    Rig first;
    first.serve("frames.gif", "gif");
    ASSERT_TRUE(first.frame.loadImageFromUrl("http://example.test/a.gif"));

    Rig later;
    later.fail();
    later.fail();
    later.serveBytes({}, "gif");  // an empty reply
    later.serve("frames.gif", "gif");
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(later.frame.loadImageFromUrl("http://example.test/a.gif"));
        EXPECT_EQ(later.frame.ImageEnMView1.count(), 0);
    }
    ASSERT_TRUE(later.frame.loadImageFromUrl("http://example.test/a.gif"));
    ASSERT_EQ(later.frame.ImageEnMView1.count(), first.frame.ImageEnMView1.count());
    for (int i = 0; i < first.frame.ImageEnMView1.count(); ++i)
        EXPECT_EQ(later.frame.ImageEnMView1.image(i), first.frame.ImageEnMView1.image(i));
    EXPECT_EQ(later.frame.Img1.image, first.frame.Img1.image);
    EXPECT_EQ(later.frame.Img1.zoom, first.frame.Img1.zoom);
}

TEST(LoadImageFromUrl, AnErrorWhileFetchingGivesFalseWithTheLabelUpdated) {
    Rig rig;
    rig.preload();
    rig.raise();
    EXPECT_FALSE(rig.frame.loadImageFromUrl("http://example.test/big.tif"));
    EXPECT_EQ(rig.frame.ImageEnMView1.count(), 0);
    EXPECT_EQ(rig.frame.lblPicNumbers, kCount + "0");
}

TEST(LoadWaterMarkPicFromUrl, NearWhitePixelsBecomeTransparent) {
    REQUIRE_FIXTURES();
    Rig rig;
    rig.serve("logo.png", "png");
    ASSERT_TRUE(rig.frame.loadWaterMarkPicFromUrl("http://example.test/logo.png"));
    const Image& picture = rig.frame.img_watermark.image;
    ASSERT_EQ(picture.width(), 4);
    ASSERT_EQ(picture.height(), 2);
    EXPECT_EQ(picture.pixel(2, 0), (Rgb{249, 255, 255}));
    const auto& mask = rig.frame.stamp().watermarkTransparency();
    ASSERT_TRUE(mask.has_value());
    // (255,255,255), (250,250,250) and (252,251,250) are in; a channel at 249 is out.
    const bool expected[2][4] = {{true, true, false, false}, {true, false, false, false}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(mask->test(x, y), expected[y][x]) << x << "," << y;
    // The pages are not touched.
    EXPECT_EQ(rig.frame.ImageEnMView1.count(), 0);
}

TEST(LoadWaterMarkPicFromUrl, PictureStaysOnFailureButTheStepStillRuns) {
    REQUIRE_FIXTURES();
    const auto png = test::fetchFixtures()->bytes("logo.png");
    struct Case {
        const char* name;
        std::optional<std::vector<std::uint8_t>> data;  // nullopt: the fetch fails
    };
    const Case cases[] = {
        {"failed fetch", std::nullopt},
        {"HTML reply", test::fetchFixtures()->bytes("missing.html")},
        {"truncated PNG", std::vector<std::uint8_t>(png.begin(), png.begin() + 40)},
        {"empty reply", std::vector<std::uint8_t>{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        Image old(3, 1, Rgb{255, 255, 255});
        old.setPixel(1, 0, Rgb{0, 0, 0});
        rig.frame.img_watermark.image = old;
        ASSERT_FALSE(rig.frame.stamp().watermarkTransparency().has_value());
        if (c.data) rig.serveBytes(*c.data, "png");
        else rig.fail();
        EXPECT_TRUE(rig.frame.loadWaterMarkPicFromUrl("http://example.test/w.png"));
        EXPECT_EQ(rig.frame.img_watermark.image, old);
        const auto& mask = rig.frame.stamp().watermarkTransparency();
        ASSERT_TRUE(mask.has_value());
        EXPECT_TRUE(mask->test(0, 0));
        EXPECT_FALSE(mask->test(1, 0));
    }
}

TEST(LoadWaterMarkPicFromUrl, AnErrorGivesFalseAndLeavesThePicture) {
    Rig rig;
    rig.frame.img_watermark.image = Image(2, 2, Rgb{9, 9, 9});
    rig.raise();
    EXPECT_FALSE(rig.frame.loadWaterMarkPicFromUrl("http://example.test/w.png"));
    EXPECT_EQ(rig.frame.img_watermark.image, Image(2, 2, Rgb{9, 9, 9}));
}

}  // namespace
}  // namespace orvix
