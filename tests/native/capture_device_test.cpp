// The portable half of the capture device: the sample copy into a view
// bitmap, the subtype table, and the new-frame announcement switch.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "capture/device_selection.h"
#include "capture/sample_copy.h"
#include "capture/simulated_camera.h"
#include "capture/video_subtypes.h"
#include "pages/edit/resample.h"
#include "support/test_pump.h"

namespace orvix {
namespace {

// A bottom-up BGR sample with padded rows whose pixel (x, y) (upright) is
// {x, y, x + y}; padding bytes are 0xEE so a copy that reads them shows.
std::vector<std::uint8_t> dibOf(int w, int h) {
    const std::size_t stride = dibRowStride(w);
    std::vector<std::uint8_t> s(stride * static_cast<std::size_t>(h), 0xEE);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = s.data() + stride * static_cast<std::size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x + y);  // blue
            row[3 * x + 1] = static_cast<std::uint8_t>(y);  // green
            row[3 * x + 2] = static_cast<std::uint8_t>(x);  // red
        }
    }
    return s;
}

TEST(DeviceSelection, InstancesCountAmongDevicesOfTheSameNameOnly) {
    const std::vector<std::string> now = {"Cam A", "Cam B", "Cam A", "cam a", "Cam A"};
    struct Case {
        const char* name;
        int instance;
        std::optional<std::size_t> device;
    };
    const Case cases[] = {
        {"Cam A", 0, 0}, {"Cam A", 1, 2}, {"Cam A", 2, 4},  // other models in between do not count
        {"Cam A", 3, std::nullopt},                          // unplugged since the list was made
        {"Cam A", -1, std::nullopt}, {"Cam B", 0, 1},
        {"cam a", 0, 3},                                     // names compare exactly
        {"Cam C", 0, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(c.device, deviceForInstance(now, c.name, c.instance)) << c.name << " #" << c.instance;
}

TEST(SampleCopy, BottomUpPaddedBgrBecomesUprightRgb) {
    // Widths 1..5 give every padding from 0 to 3 bytes.
    for (int w : {1, 2, 3, 4, 5, 37}) {
        for (int h : {1, 2, 7}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
            Image bitmap(3, 3, {9, 9, 9});
            copyBottomUpBgr(dibOf(w, h), w, h, bitmap);
            ASSERT_EQ(bitmap.width(), w);
            ASSERT_EQ(bitmap.height(), h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(bitmap.pixel(x, y), (Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                                       static_cast<std::uint8_t>(x + y)}));
        }
    }
}

TEST(SampleCopy, ShortOrMissingSamplesNeverReadPastTheBuffer) {
    const int w = 5, h = 4;
    std::vector<std::uint8_t> full = dibOf(w, h);
    const std::size_t stride = dibRowStride(w);

    // No sample yet: the bitmap takes the delivered size, nothing else.
    Image bitmap;
    copyBottomUpBgr({}, w, h, bitmap);
    EXPECT_EQ(bitmap.width(), w);
    EXPECT_EQ(bitmap.height(), h);

    // Two and a half rows: the bottom two rows arrive, the rest keep their pixels.
    Image partial(w, h, {1, 2, 3});
    copyBottomUpBgr(std::span(full).first(stride * 2 + stride / 2), w, h, partial);
    EXPECT_EQ(partial.pixel(0, 3), (Rgb{0, 3, 3}));
    EXPECT_EQ(partial.pixel(4, 2), (Rgb{4, 2, 6}));
    EXPECT_EQ(partial.pixel(0, 1), (Rgb{1, 2, 3}));

    // The last row without its padding is still a whole row.
    Image unpadded(w, h);
    copyBottomUpBgr(std::span(full).first(stride * 3 + 3 * w), w, h, unpadded);
    EXPECT_EQ(unpadded.pixel(4, 0), (Rgb{4, 0, 4}));

    // A nonsensical size changes nothing.
    Image kept(2, 2, {7, 7, 7});
    copyBottomUpBgr(full, 0, h, kept);
    copyBottomUpBgr(full, w, -1, kept);
    EXPECT_EQ(kept, Image(2, 2, {7, 7, 7}));
}

// The preview stretches every frame; the fast copy paths (4-byte pixel
// copies, repeated rows) must give exactly the nearest-neighbour mapping,
// including the last column and row, at every size.
TEST(FrameStretch, EveryPixelFollowsTheNearestNeighbourMapping) {
    Image source(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) source.setPixel(x, y, SimulatedCamera::samplePixel(1, 2, x, y));
    struct Case {
        int sw, sh, tw, th;
    };
    for (const Case& c : {Case{7, 5, 1, 1}, Case{7, 5, 2, 1}, Case{7, 5, 14, 10}, Case{7, 5, 13, 9}, Case{7, 5, 3, 7},
                          Case{1, 1, 4, 3}, Case{2, 1, 5, 2}, Case{7, 5, 8, 5}}) {
        SCOPED_TRACE(std::to_string(c.sw) + "x" + std::to_string(c.sh) + " -> " + std::to_string(c.tw) + "x" +
                     std::to_string(c.th));
        Image from(c.sw, c.sh);
        for (int y = 0; y < c.sh; ++y)
            for (int x = 0; x < c.sw; ++x) from.setPixel(x, y, source.pixel(x, y));
        const Image out = resampleNearest(from, c.tw, c.th);
        ASSERT_EQ(out.width(), c.tw);
        ASSERT_EQ(out.height(), c.th);
        for (int y = 0; y < c.th; ++y)
            for (int x = 0; x < c.tw; ++x)
                ASSERT_EQ(out.pixel(x, y), from.pixel(static_cast<int>(x * (static_cast<double>(c.sw) / c.tw)),
                                                      static_cast<int>(y * (static_cast<double>(c.sh) / c.th))))
                    << x << "," << y;
    }
}

TEST(VideoSubtypes, TableOrderBitsAndGuids) {
    const auto table = videoSubtypes();
    ASSERT_EQ(table.size(), 36u);
    EXPECT_STREQ(table.front().name, "CLPL");
    EXPECT_STREQ(table[14].name, "MJPG");
    EXPECT_STREQ(table.back().name, "IA44");

    struct Case {
        const char* name;
        int bits;
    };
    for (const Case& c : {Case{"YUY2", 16}, Case{"YV12", 12}, Case{"YVU9", 9}, Case{"IF09", 9}, Case{"CLJR", 8},
                          Case{"MJPG", 0}, Case{"RGB1", 1}, Case{"RGB4", 4}, Case{"RGB8", 8}, Case{"RGB24", 24},
                          Case{"ARGB32", 32}, Case{"AYUV", 16}, Case{"Plum", 0}}) {
        SCOPED_TRACE(c.name);
        const VideoSubtype* s = findVideoSubtype(c.name);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->bitsPerPixel, c.bits);
    }
    // Names are exact: case matters.
    EXPECT_EQ(findVideoSubtype("yuy2"), nullptr);
    EXPECT_EQ(findVideoSubtype("PLUM"), nullptr);

    // YUY2 is 32595559-0000-0010-8000-00AA00389B71; RGB24 is DirectShow's own GUID.
    const SubtypeGuid yuy2{0x32595559, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    EXPECT_EQ(findVideoSubtype("YUY2")->guid, yuy2);
    EXPECT_EQ(fourccSubtype("YUY2"), yuy2);
    const SubtypeGuid rgb24{0xe436eb7d, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
    EXPECT_EQ(findVideoSubtype("RGB24")->guid, rgb24);

    // Every GUID names its own entry back; an unknown GUID has no name.
    for (const VideoSubtype& s : table) EXPECT_EQ(videoSubtypeName(s.guid), s.name);
    EXPECT_EQ(videoSubtypeName(fourccSubtype("H264")), "");
}

TEST(VideoSubtypes, FormatChangeFallsBackToTheFirstEntry) {
    EXPECT_STREQ(subtypeForFormatChange("UYVY").name, "UYVY");
    EXPECT_STREQ(subtypeForFormatChange("H264").name, "CLPL");
    EXPECT_STREQ(subtypeForFormatChange("").name, "CLPL");
    EXPECT_EQ(formatSampleSize(12, 641, 481), 462481);  // 12 * 641 * 481 / 8 = 462481.5
    EXPECT_EQ(formatSampleSize(24, 2592, 1944), 15116544);
    EXPECT_EQ(formatSampleSize(0, 1280, 960), 0);
}

TEST(VideoSubtypes, AnalogStandardNames) {
    EXPECT_EQ(analogStandardNames(0), "");
    EXPECT_EQ(analogStandardNames(0x1), "NTSC_M");
    EXPECT_EQ(analogStandardNames(0x1 | 0x10 | 0x100000), "NTSC_M PAL_B PAL_N_COMBO");
    EXPECT_EQ(analogStandardNames(0x80000000u), "");
}

// The switch: off while the handler runs, so a sample arriving then is not
// announced, but messages posted before still run the handler.
TEST(NewFrameSwitch, SamplesDuringTheHandlerAreSkippedNotQueued) {
    test::TestPump pump;
    SimulatedCamera camera({{"Cam", {simulatedFormat("RGB24", 8, 6)}}});
    camera.post = [&](std::function<void()> m) { pump.post(std::move(m)); };
    camera.deviceNames();
    camera.selectDevice(0, 0);
    camera.setGrabberEnabled(true);
    camera.connect();
    camera.run();

    int handled = 0;
    std::vector<bool> switchDuringHandler;
    camera.setNewFrameHandler([&] {
        ++handled;
        switchDuringHandler.push_back(camera.notificationsEnabled());
        camera.sampleArrives();  // the streaming thread goes on meanwhile
    });

    camera.sampleArrives();
    camera.sampleArrives();  // two messages posted before the UI thread looks
    pump.pumpPending();
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(switchDuringHandler, (std::vector<bool>{false, false}));
    EXPECT_TRUE(camera.notificationsEnabled());
    EXPECT_TRUE(pump.idle());

    // Once the graph is gone, messages still queued run no handler.
    camera.sampleArrives();
    camera.disconnect();
    pump.pumpPending();
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(camera.framesDelivered(), 3);
}

}  // namespace
}  // namespace orvix
