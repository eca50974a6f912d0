// The DirectShow capture device against the virtual camera (orvixvcam.dll beside
// the runner), registered for the suite as two cameras of one name and one of
// another: enumeration, instance selection, the format table, format changes,
// frames delivered through the grabber and the new-frame message.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture_device.h"
#include "errors.h"
#include "pages/image.h"
#include "virtual_camera_server.h"

namespace orvix::test {
namespace {

constexpr char kCameraName[] = "OrvixCam Virtual Camera";
constexpr char kOtherName[] = "OrvixCam Other Model";

bool dark(Rgb c) { return c.r < 100 && c.g < 100 && c.b < 100; }
bool white(Rgb c) { return c.r > 225 && c.g > 225 && c.b > 225; }

class DirectShowDeviceTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<VirtualCameraServer>();
        ASSERT_TRUE(server_->loaded()) << "orvixvcam.dll must lie beside the runner";
        server_->unregisterServer();
        ASSERT_EQ(S_OK, server_->registerServer());
        ASSERT_EQ(S_OK, server_->install(true, L"OrvixCam Virtual Camera"));
        ASSERT_EQ(S_OK, server_->install(true, L"OrvixCam Other Model"));
    }
    static void TearDownTestSuite() {
        if (server_) server_->unregisterServer();
        server_.reset();
    }

    void SetUp() override {
        device_ = makePlatformCaptureDevice();
        names_ = device_->deviceNames();
        device_->setNewFrameHandler([this] {
            ++frames_;
            switchDuringHandler_ = device_->notificationsEnabled();
        });
    }
    void TearDown() override { device_.reset(); }

    int indexOf(const std::string& name) const {
        auto it = std::find(names_.begin(), names_.end(), name);
        return it == names_.end() ? -1 : static_cast<int>(it - names_.begin());
    }

    // Selects a camera, connects with the grabber and applies the size.
    void start(int instance, int width, int height) {
        device_->selectDevice(indexOf(kCameraName), instance);
        device_->setGrabberEnabled(true);
        device_->connect();
        device_->applyFormat(width, height, "RGB24");
        device_->run();
    }

    // Waits for a fresh frame announcement, then grabs.
    Image grabNextFrame() {
        const int before = frames_;
        EXPECT_TRUE(pumpUntil([&] { return frames_ > before; })) << "no new-frame message arrived";
        Image frame;
        device_->grabFrame(frame);
        return frame;
    }

    static std::unique_ptr<VirtualCameraServer> server_;
    std::unique_ptr<CaptureDevice> device_;
    std::vector<std::string> names_;
    int frames_ = 0;
    bool switchDuringHandler_ = true;
};

std::unique_ptr<VirtualCameraServer> DirectShowDeviceTest::server_;

TEST_F(DirectShowDeviceTest, ListsRegisteredCamerasWithRepeatedNames) {
    EXPECT_EQ(2, std::count(names_.begin(), names_.end(), std::string(kCameraName)));
    EXPECT_EQ(1, std::count(names_.begin(), names_.end(), std::string(kOtherName)));

    // A camera plugged in later does not show in the list already taken.
    ASSERT_EQ(S_OK, server_->install(true, L"OrvixCam Late Camera"));
    const std::vector<std::string> again = device_->deviceNames();
    server_->install(false, L"OrvixCam Late Camera");
    EXPECT_EQ(names_, again);
    EXPECT_EQ(names_, makePlatformCaptureDevice()->deviceNames()) << "uninstalling one name left it listed";
}

TEST_F(DirectShowDeviceTest, FormatTableHoldsTheCameraCapabilities) {
    device_->selectDevice(indexOf(kCameraName), 0);
    device_->setGrabberEnabled(true);
    device_->connect();
    ASSERT_TRUE(device_->isConnected());
    const int sizes[][2] = {{640, 480}, {1280, 960}, {1600, 1200}, {2592, 1944}};
    ASSERT_EQ(4, device_->formatCount());
    for (int i = 0; i < 4; ++i) {
        const TIEVideoFormat f = device_->formatAt(i);
        SCOPED_TRACE(i);
        EXPECT_EQ("RGB24", f.subtypeName);
        EXPECT_EQ(sizes[i][0], f.outputMaxWidth);
        EXPECT_EQ(sizes[i][1], f.outputMaxHeight);
        EXPECT_EQ(f.outputMaxWidth, f.outputMinWidth);
        EXPECT_EQ(f.outputMaxHeight, f.outputMinHeight);
        EXPECT_EQ(static_cast<std::uint32_t>(sizes[i][0] * sizes[i][1] * 24 * 15), f.bitsPerSecond);
        EXPECT_EQ("", f.standards);
    }
    EXPECT_THROW(device_->formatAt(-1), Error);
    EXPECT_THROW(device_->formatAt(4), Error);

    device_->disconnect();
    device_->disconnect();
    EXPECT_FALSE(device_->isConnected());
    EXPECT_EQ(4, device_->formatCount());
}

TEST_F(DirectShowDeviceTest, SelectionOutsideTheDevicesOrNames) {
    // No fifth camera of that name: none selected, a graph without a source.
    device_->selectDevice(indexOf(kCameraName), 5);
    device_->connect();
    EXPECT_TRUE(device_->isConnected());
    EXPECT_EQ(0, device_->formatCount());
    device_->disconnect();

    // A name index past the list keeps the previous selection.
    device_->selectDevice(indexOf(kCameraName), 1);
    device_->selectDevice(static_cast<int>(names_.size()) + 4, 0);
    device_->connect();
    EXPECT_EQ(4, device_->formatCount());
    device_->disconnect();

    device_->selectDevice(-1, 0);
    device_->connect();
    EXPECT_EQ(0, device_->formatCount());
}

TEST_F(DirectShowDeviceTest, DeliversUprightFramesOfTheAppliedSize) {
    start(0, 1280, 960);
    const Image frame = grabNextFrame();
    ASSERT_EQ(1280, frame.width());
    ASSERT_EQ(960, frame.height());

    long whites = 0, darks = 0;
    for (int y = 0; y < frame.height(); y += 4) {
        for (int x = 0; x < frame.width(); x += 4) {
            const Rgb c = frame.pixel(x, y);
            whites += white(c);
            darks += dark(c);
        }
    }
    const long samples = (1280 / 4) * (960 / 4);
    EXPECT_GT(whites, samples / 2) << "a page is mostly white";
    EXPECT_GT(darks, samples / 50) << "text strokes are missing";

    // The red mark sits in the top-left corner: rows and colour order are right.
    const Rgb mark = frame.pixel(1280 / 32 + 64, 960 / 32 + 64);
    EXPECT_GT(mark.r, 150);
    EXPECT_LT(mark.g, 90);
    EXPECT_LT(mark.b, 90);
    const Rgb mirrored = frame.pixel(1280 / 32 + 64, 960 - 960 / 32 - 64);
    EXPECT_FALSE(mirrored.r > 150 && mirrored.g < 90) << "the picture is upside down";

    // The handler runs with the switch off; afterwards it is on again.
    EXPECT_FALSE(switchDuringHandler_);
    EXPECT_TRUE(device_->notificationsEnabled());

    Sleep(300);
    const Image later = grabNextFrame();
    EXPECT_FALSE(later == frame) << "consecutive frames are identical";

    device_->stopWhenReady();
    device_->disconnect();
    EXPECT_FALSE(device_->isConnected());
    Image untouched = later;
    device_->grabFrame(untouched);
    EXPECT_TRUE(untouched == later);
}

TEST_F(DirectShowDeviceTest, FormatChangesTheDeviceCannotMakeKeepTheDeliveredSize) {
    struct Case {
        int width, height, expectedWidth, expectedHeight;
    };
    const Case cases[] = {{640, 480, 640, 480}, {2592, 1944, 2592, 1944}, {800, 600, 640, 480}, {0, 0, 640, 480}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        start(0, c.width, c.height);
        const Image frame = grabNextFrame();
        EXPECT_EQ(c.expectedWidth, frame.width());
        EXPECT_EQ(c.expectedHeight, frame.height());
        device_->disconnect();
    }
}

TEST_F(DirectShowDeviceTest, OpensTheChosenInstanceOfRepeatedName) {
    // Each camera instance shows one blue square per instance number, top right.
    for (int instance : {0, 1}) {
        SCOPED_TRACE(instance);
        start(instance, 640, 480);
        const Image frame = grabNextFrame();
        ASSERT_EQ(640, frame.width());
        const int side = 640 / 10 / 3;
        const Rgb first = frame.pixel(640 - 640 / 32 - side / 2, 480 / 32 + side / 2);
        const Rgb second = frame.pixel(640 - 640 / 32 - side - side / 2 - side / 2, 480 / 32 + side / 2);
        EXPECT_TRUE(first.b > 150 && first.r < 90);
        EXPECT_EQ(instance == 1, second.b > 150 && second.r < 90);
        device_->disconnect();
    }
}

TEST_F(DirectShowDeviceTest, WithoutGrabberNothingIsAnnouncedOrGrabbed) {
    device_->selectDevice(indexOf(kCameraName), 0);
    device_->setGrabberEnabled(false);
    device_->connect();
    EXPECT_EQ(4, device_->formatCount());
    device_->run();
    EXPECT_FALSE(pumpUntil([&] { return frames_ > 0; }, 700));
    Image frame(3, 2, Rgb{1, 2, 3});
    device_->grabFrame(frame);
    EXPECT_TRUE(frame == Image(3, 2, Rgb{1, 2, 3}));
}

TEST_F(DirectShowDeviceTest, GrabBeforeAnySampleOnlySizesTheBitmap) {
    device_->selectDevice(indexOf(kCameraName), 0);
    device_->setGrabberEnabled(true);
    device_->connect();
    Image frame(640, 480, Rgb{1, 2, 3});
    device_->grabFrame(frame);
    EXPECT_TRUE(frame == Image(640, 480, Rgb{1, 2, 3}));
}

}  // namespace
}  // namespace orvix::test
