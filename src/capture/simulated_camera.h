#pragma once
// A camera for tests and benchmarks: scripted device names (which may repeat),
// formats, delivered frame sizes and failures, and deterministic frames that
// tell the devices apart. Samples arrive when the test says so, standing in
// for the streaming thread; the announcement goes through `post`, standing in
// for the posted window message.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "capture/capture_device.h"

namespace orvix {

struct SimulatedDevice {
    std::string name;
    std::vector<TIEVideoFormat> formats;
    // The size this device delivers whatever format is applied; 0 x 0
    // delivers the applied size (or the first format's size before any).
    int fixedWidth = 0;
    int fixedHeight = 0;
};

// A format entry with the given subtype and largest output size.
TIEVideoFormat simulatedFormat(const std::string& subtype, int width, int height);

class SimulatedCamera final : public CaptureDevice {
public:
    explicit SimulatedCamera(std::vector<SimulatedDevice> devices = {});

    // The system's devices; changes show in the next enumeration.
    std::vector<SimulatedDevice> devices;
    // Scripted failures: enumeration and graph building throw Error.
    bool failEnumeration = false;
    bool failConnect = false;
    // Delivers an announcement to the user-interface thread, like posting
    // the new-frame message. Unset: announcements are dropped.
    std::function<void(std::function<void()>)> post;

    // Every operation in order: "names", "select 1 0", "connect", "apply
    // 640x480 YUY2", "run", "stop", "disconnect".
    std::vector<std::string> calls;

    // The streaming side: one new sample when the graph runs with a grabber;
    // it is announced when notifications are on. False when no sample came.
    bool sampleArrives();
    // How many announcements reached the user-interface thread.
    int framesDelivered() const { return delivered_; }
    // Position in `devices` of the device the current graph was built for.
    std::optional<int> connectedDevice() const { return graphDevice_; }
    bool running() const { return running_; }

    // The pixel a simulated sample holds: it depends on the device's position
    // and on the sample's number.
    static Rgb samplePixel(int device, int sample, int x, int y);

    std::vector<std::string> deviceNames() override;
    void selectDevice(int index, int instance) override;
    bool grabberEnabled() const override { return grabberEnabled_; }
    void setGrabberEnabled(bool enabled) override { grabberEnabled_ = enabled; }
    void connect() override;
    bool isConnected() const override { return connected_; }
    int formatCount() const override { return static_cast<int>(formats_.size()); }
    TIEVideoFormat formatAt(int i) const override;
    void applyFormat(int width, int height, const std::string& subtypeName) override;
    void run() override;
    void stopWhenReady() override;
    void disconnect() override;
    void grabFrame(Image& bitmap) override;

private:
    void deliveredSize(int& width, int& height) const;

    std::vector<std::string> names_;
    std::optional<int> selected_;
    bool grabberEnabled_ = false;
    bool connected_ = false;
    bool graphHasGrabber_ = false;
    bool running_ = false;
    std::optional<int> graphDevice_;
    int appliedWidth_ = 0;
    int appliedHeight_ = 0;
    std::vector<TIEVideoFormat> formats_;
    int samples_ = 0;  // samples of the current graph
    int delivered_ = 0;
};

}  // namespace orvix
