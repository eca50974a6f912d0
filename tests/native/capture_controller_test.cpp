// The frame's camera logic against the simulated camera: lists, the start and
// stop sequences, stretching frames to the chosen size, captures, the live
// frame as JPEG, and notifications that arrive inside the sequences' pumps.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture_controller.h"
#include "capture/capture_texts.h"
#include "capture/simulated_camera.h"
#include "oracles/jpeg_decode.h"
#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/texts.h"

namespace orvix {
namespace {

const std::vector<TIEVideoFormat> kDocCamFormats{simulatedFormat("YUY2", 640, 480),
                                                 simulatedFormat("MJPG", 1280, 960),
                                                 simulatedFormat("RGB24", 1600, 1200)};

class Capture : public testing::Test {
protected:
    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    SimulatedCamera* camera = nullptr;
    std::unique_ptr<CaptureController> capture;

    void attach(std::vector<SimulatedDevice> devices) {
        auto device = std::make_unique<SimulatedCamera>(std::move(devices));
        camera = device.get();
        camera->post = [this](std::function<void()> m) { pump.post(std::move(m)); };
        capture = std::make_unique<CaptureController>(frame, shell, pump, std::move(device));
    }
    void create(std::vector<SimulatedDevice> devices) {
        attach(std::move(devices));
        capture->initCapture();
    }
    // A new sample before every pump, as a running camera would deliver.
    void streamWhilePumping() {
        pump.beforeEachPump = [this] { camera->sampleArrives(); };
    }
    void addPage(const Image& image) {
        const int i = frame.ImageEnMView1.append();
        frame.ImageEnMView1.setImage(i, image);
    }
    // The pixel a delivered w x h sample, stretched to the view's size, shows at (x, y).
    static Rgb stretched(int device, int sample, int w, int h, int tw, int th, int x, int y) {
        return SimulatedCamera::samplePixel(device, sample, static_cast<int>(x * (static_cast<double>(w) / tw)),
                                            static_cast<int>(y * (static_cast<double>(h) / th)));
    }
};

oracle::DecodedJpeg decodeBase64Jpeg(const std::string& text) {
    oracle::ScratchDir dir;
    oracle::writeFile(dir.file("f.b64"), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_TRUE(oracle::runCommand("tr -d '\\r' < " + dir.file("f.b64") + " | base64 -d > " + dir.file("f.jpg")));
    return oracle::decodeJpeg(oracle::readFile(dir.file("f.jpg")));
}

std::string countLabel(int n) { return std::string(texts::kCountPrefix) + std::to_string(n); }

TEST_F(Capture, NoCameraTellsTheUserAndEverythingAnswersEmpty) {
    create({});
    ASSERT_EQ(shell.messageBoxes.size(), 1u);
    EXPECT_EQ(shell.messageBoxes[0], (test::MessageBoxCall{texts::kNoDevice, texts::kCaptionError, 64}));
    EXPECT_EQ(capture->camCount(), 0);
    EXPECT_EQ(capture->getCurrentCamSupportFormatCount(), 0);
    EXPECT_EQ(capture->getCamName(0), "");
    EXPECT_EQ(capture->getCurrentFrame(), "");
    EXPECT_FALSE(capture->startCam());
    EXPECT_TRUE(capture->stopCam());
    EXPECT_FALSE(camera->isConnected());
    EXPECT_EQ(shell.messageBoxes.size(), 1u);
}

TEST_F(Capture, FailingEnumerationOrGraphShowsTheReadMessage) {
    struct Case {
        bool failEnumeration, failConnect;
        int cameras;
    };
    for (const Case& c : {Case{true, false, 0}, Case{false, true, 1}}) {
        SCOPED_TRACE(c.failEnumeration ? "enumeration" : "graph");
        shell.messageBoxes.clear();
        attach({{"Doc Cam", kDocCamFormats}});
        camera->failEnumeration = c.failEnumeration;
        camera->failConnect = c.failConnect;
        capture->initCapture();
        ASSERT_EQ(shell.messageBoxes.size(), 1u);
        EXPECT_EQ(shell.messageBoxes[0], (test::MessageBoxCall{texts::kDeviceReadFailed, texts::kCaptionError, 64}));
        // What was listed before the failure stays.
        EXPECT_EQ(capture->camCount(), c.cameras);
        EXPECT_EQ(capture->getCurrentCamSupportFormatCount(), 0);
        EXPECT_FALSE(camera->isConnected());
    }
}

TEST_F(Capture, ListsCamerasAndTheFirstCamerasFormats) {
    std::vector<TIEVideoFormat> odd{simulatedFormat("", 320, 240), simulatedFormat("UYVY", 720, 576)};
    create({{"Doc Cam", kDocCamFormats}, {"Other", odd}});
    EXPECT_TRUE(shell.messageBoxes.empty());
    EXPECT_EQ(capture->camCount(), 2);
    EXPECT_EQ(capture->getCamName(1), "Other");
    EXPECT_EQ(capture->getCamName(-1), "");
    EXPECT_EQ(capture->getCamName(2), "");
    EXPECT_EQ(capture->VideoSourceComboBox.itemIndex, 0);
    EXPECT_EQ(capture->VideoFormatComboBox.items,
              (std::vector<std::string>{"YUY2 640x480", "MJPG 1280x960", "RGB24 1600x1200"}));
    EXPECT_EQ(capture->VideoFormatComboBox.itemIndex, 0);
    // Listing leaves no graph and no chosen size.
    EXPECT_FALSE(camera->isConnected());
    EXPECT_EQ(frame.selectedWidth, 0);

    EXPECT_TRUE(capture->setCurrentCamIndex(1));
    EXPECT_EQ(capture->getCurrentCamSupportFormatCount(), 2);
    EXPECT_EQ(capture->getCurrentCamSupportFormatName(0), " 320x240");  // subtype not in the table
    EXPECT_EQ(capture->getCurrentCamSupportFormatName(1), "UYVY 720x576");
    EXPECT_EQ(capture->getCurrentCamSupportFormatName(2), "");
    EXPECT_EQ(capture->getCurrentCamSupportFormatName(-1), "");
}

TEST_F(Capture, OutOfRangeIndexes) {
    create({{"Doc Cam", kDocCamFormats}, {"Doc Cam", kDocCamFormats}});
    ASSERT_TRUE(capture->setCurrentCamFormat(1));
    EXPECT_EQ(frame.selectedWidth, 1280);
    EXPECT_EQ(frame.selectedHeight, 960);

    for (int idx : {-1, 3, 1000}) {
        SCOPED_TRACE(idx);
        EXPECT_FALSE(capture->setCurrentCamFormat(idx));
        EXPECT_EQ(capture->VideoFormatComboBox.itemIndex, -1);
        EXPECT_EQ(frame.selectedWidth, 1280);  // unchanged
        EXPECT_EQ(frame.selectedHeight, 960);
    }

    // No current camera: an empty format list, and still true.
    EXPECT_TRUE(capture->setCurrentCamIndex(5));
    EXPECT_EQ(capture->VideoSourceComboBox.itemIndex, -1);
    EXPECT_EQ(capture->getCurrentCamSupportFormatCount(), 0);
    EXPECT_FALSE(capture->startCam());  // no current format
    EXPECT_EQ(capture->camCount(), 2);
}

TEST_F(Capture, IdenticalCamerasOpenByTheirPositionAmongEqualNames) {
    const std::vector<TIEVideoFormat> second{simulatedFormat("YUY2", 320, 240)};
    create({{"USB Cam", kDocCamFormats}, {"Doc", kDocCamFormats}, {"USB Cam", second}, {"USB Cam", second}});
    struct Case {
        int camera;
        std::string select;  // what the device is asked to open
        int device;          // which system device runs
    };
    for (const Case& c : {Case{0, "select 0 0", 0}, Case{1, "select 1 0", 1}, Case{2, "select 2 1", 2},
                          Case{3, "select 3 2", 3}}) {
        SCOPED_TRACE(c.camera);
        ASSERT_TRUE(capture->setCurrentCamIndex(c.camera));
        // The list shows the first device of that name.
        EXPECT_EQ(capture->getCurrentCamSupportFormatCount(), 3);
        camera->calls.clear();
        ASSERT_TRUE(capture->startCam());
        EXPECT_NE(std::find(camera->calls.begin(), camera->calls.end(), c.select), camera->calls.end());
        EXPECT_EQ(camera->connectedDevice(), c.device);
        EXPECT_TRUE(camera->running());
        capture->stopCam();
    }
}

TEST_F(Capture, StartSequenceAndRestart) {
    create({{"Doc Cam", kDocCamFormats}});
    ASSERT_TRUE(capture->setCurrentCamFormat(2));
    camera->calls.clear();
    ASSERT_TRUE(capture->startCam());
    EXPECT_EQ(camera->calls, (std::vector<std::string>{"stop", "disconnect", "select 0 0", "connect", "disconnect",
                                                       "connect", "apply 1600x1200 RGB24", "run"}));
    EXPECT_EQ(pump.sleeps, (std::vector<int>{50, 50}));
    EXPECT_TRUE(camera->isConnected());
    EXPECT_TRUE(camera->running());

    // Again while running: stopped, then started afresh.
    camera->calls.clear();
    ASSERT_TRUE(capture->startCam());
    EXPECT_EQ(camera->calls.front(), "stop");
    EXPECT_EQ(camera->calls[1], "disconnect");
    EXPECT_EQ(camera->calls.back(), "run");
    EXPECT_TRUE(camera->running());

    EXPECT_TRUE(capture->stopCam());
    EXPECT_FALSE(camera->isConnected());
    EXPECT_FALSE(camera->grabberEnabled());
    EXPECT_TRUE(capture->stopCam());  // nothing runs: still true
}

TEST_F(Capture, AFailingGraphMakesStartFalse) {
    create({{"Doc Cam", kDocCamFormats}});
    camera->failConnect = true;
    EXPECT_FALSE(capture->startCam());
    camera->failConnect = false;
    EXPECT_TRUE(capture->startCam());
}

// The device delivers 640x480 whatever is asked: frames, captured pages and
// the live frame are stretched to the chosen 1280x960.
TEST_F(Capture, FramesAreStretchedToTheChosenSize) {
    create({{"Doc Cam", kDocCamFormats, 640, 480}});
    ASSERT_TRUE(capture->setCurrentCamFormat(1));
    ASSERT_TRUE(capture->startCam());
    streamWhilePumping();

    pump.pumpPending();
    ASSERT_GT(camera->framesDelivered(), 0);
    const Image& view = frame.Img1.image;
    ASSERT_EQ(view.width(), 1280);
    ASSERT_EQ(view.height(), 960);
    // The view shows the latest sample, doubled in both directions.
    // (Each pump brings one sample; the handler's own pump brings none.)
    const int sample = camera->framesDelivered();
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {1279, 959}, {641, 3}, {2, 957}})
        EXPECT_EQ(view.pixel(x, y), stretched(0, sample, 640, 480, 1280, 960, x, y)) << x << "," << y;

    ASSERT_TRUE(capture->capCurrentPicture());
    EXPECT_EQ(frame.ImageEnMView1.image(0).width(), 1280);
    EXPECT_EQ(frame.ImageEnMView1.image(0).height(), 960);

    const oracle::DecodedJpeg jpeg = decodeBase64Jpeg(capture->getCurrentFrame());
    ASSERT_TRUE(jpeg.ok) << jpeg.error;
    EXPECT_EQ(jpeg.width, 1280);
    EXPECT_EQ(jpeg.height, 960);

    // A new size applies from the next frame on, without a restart.
    ASSERT_TRUE(capture->setCurrentCamFormat(2));
    pump.pumpPending();
    EXPECT_EQ(frame.Img1.image.width(), 1600);
    EXPECT_EQ(frame.Img1.image.height(), 1200);
    EXPECT_TRUE(camera->running());
}

TEST_F(Capture, WithoutAChosenFormatFramesKeepTheirSizeAndFitTheView) {
    create({{"Doc Cam", kDocCamFormats, 640, 480}});
    frame.Img1.clientWidth = 320;
    frame.Img1.clientHeight = 400;
    ASSERT_TRUE(capture->startCam());
    streamWhilePumping();
    pump.pumpPending();
    EXPECT_EQ(frame.Img1.image.width(), 640);
    EXPECT_EQ(frame.Img1.image.height(), 480);
    EXPECT_TRUE(frame.Img1.autoFit);
    EXPECT_DOUBLE_EQ(frame.Img1.zoom, 50.0);

    const oracle::DecodedJpeg jpeg = decodeBase64Jpeg(capture->getCurrentFrame());
    ASSERT_TRUE(jpeg.ok) << jpeg.error;
    EXPECT_EQ(jpeg.width, 640);
}

TEST_F(Capture, CaptureAfterStopCopiesWhatTheViewShows) {
    create({{"Doc Cam", kDocCamFormats}});
    ASSERT_TRUE(capture->setCurrentCamFormat(0));
    ASSERT_TRUE(capture->startCam());
    streamWhilePumping();
    pump.pumpPending();
    ASSERT_TRUE(capture->stopCam());
    pump.beforeEachPump = nullptr;
    const Image shown = frame.Img1.image;
    ASSERT_EQ(shown.width(), 640);

    addPage(Image(10, 10));
    EXPECT_EQ(capture->getCurrentFrame(), "");  // no graph
    ASSERT_TRUE(capture->capCurrentPicture());
    ASSERT_EQ(frame.ImageEnMView1.count(), 2);
    EXPECT_EQ(frame.ImageEnMView1.image(1), shown);
    EXPECT_EQ(frame.ImageEnMView1.selected(), 1);
    EXPECT_EQ(frame.lblPicNumbers, countLabel(2));
}

TEST_F(Capture, CapturesTakeTheLatestFrameEachTime) {
    create({{"Doc Cam", kDocCamFormats}});
    ASSERT_TRUE(capture->setCurrentCamFormat(0));
    ASSERT_TRUE(capture->startCam());
    streamWhilePumping();
    for (int i = 0; i < 3; ++i) {
        pump.pumpPending();
        ASSERT_TRUE(capture->capCurrentPicture());
    }
    ASSERT_EQ(frame.ImageEnMView1.count(), 3);
    EXPECT_NE(frame.ImageEnMView1.image(0), frame.ImageEnMView1.image(1));
    EXPECT_NE(frame.ImageEnMView1.image(1), frame.ImageEnMView1.image(2));
    EXPECT_EQ(frame.lblPicNumbers, countLabel(3));
}

// Selecting a page stops the preview; a frame message already queued then
// runs no handler, so the page, not a frame, ends up in the view.
TEST_F(Capture, ShowingAPageStopsThePreview) {
    create({{"Doc Cam", kDocCamFormats}});
    addPage(Image(30, 20, {1, 2, 3}));
    ASSERT_TRUE(capture->startCam());
    streamWhilePumping();
    pump.pumpPending();
    const int before = camera->framesDelivered();
    ASSERT_GT(before, 0);

    camera->sampleArrives();  // queued, not yet handled
    frame.ImageEnMView1ImageSelect(0);
    EXPECT_FALSE(camera->isConnected());
    EXPECT_FALSE(camera->grabberEnabled());
    EXPECT_EQ(frame.Img1.image, Image(30, 20, {1, 2, 3}));

    // Showing "no page" stops it too.
    ASSERT_TRUE(capture->startCam());
    frame.ImageEnMView1ImageSelect(-1);
    EXPECT_FALSE(camera->isConnected());
}

TEST_F(Capture, ChoosingACameraWhilePreviewingEndsThePreview) {
    create({{"Doc Cam", kDocCamFormats}, {"Other", {simulatedFormat("YUY2", 320, 240)}}});
    ASSERT_TRUE(capture->setCurrentCamFormat(1));
    ASSERT_TRUE(capture->startCam());
    ASSERT_TRUE(capture->setCurrentCamIndex(1));
    EXPECT_FALSE(camera->isConnected());
    // The running device's formats were listed, not the new camera's.
    EXPECT_EQ(capture->getCurrentCamSupportFormatCount(), 3);
    // The size chosen before stays in force.
    EXPECT_EQ(frame.selectedWidth, 1280);
}

// Frames arrive during every pump of the sequences; each announcement runs
// the handler once, samples during the handler are skipped, and nothing
// recurses without end.
TEST_F(Capture, NotificationsInsidePumpsOfEverySequence) {
    create({{"Doc Cam", kDocCamFormats}});
    ASSERT_TRUE(capture->setCurrentCamFormat(0));
    int repaints = 0;
    capture->updateView = [&] { ++repaints; };
    streamWhilePumping();

    ASSERT_TRUE(capture->startCam());
    // Only the pump after run sees a running graph; the sample arriving in
    // the handler's own pump is not announced.
    EXPECT_EQ(camera->framesDelivered(), 1);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(frame.Img1.image.width(), 640);

    ASSERT_TRUE(capture->capCurrentPicture());
    EXPECT_EQ(camera->framesDelivered(), 2);
    EXPECT_FALSE(capture->getCurrentFrame().empty());
    EXPECT_EQ(camera->framesDelivered(), 3);
    EXPECT_EQ(repaints, 3);

    // The restart's stop sequence still takes frames until the graph goes.
    ASSERT_TRUE(capture->startCam());
    EXPECT_TRUE(camera->running());
    EXPECT_TRUE(pump.idle());
    ASSERT_TRUE(capture->stopCam());
    EXPECT_TRUE(pump.idle());
    EXPECT_EQ(frame.ImageEnMView1.count(), 1);
}

}  // namespace
}  // namespace orvix
