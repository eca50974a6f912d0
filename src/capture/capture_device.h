#pragma once
// The one object through which the control reaches a camera. DirectShow
// implements it on Windows (capture/win32); tests use the simulated camera.
// Every operation runs on the user-interface thread and returns when done;
// none waits for a frame.
//
// Lifecycle: Disconnected --connect--> Connected (stopped) --run--> Running
// --stopWhenReady--> Connected --disconnect--> Disconnected. disconnect from
// Running stops first.
//
// Failures of the platform's own calls are ignored. Only two things throw
// (orvix::Error): formatAt with a bad index, and connect when a part of the
// graph cannot be created.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pages/image.h"

namespace orvix {

// One capability of the device's capture output.
struct TIEVideoFormat {
    // Name from the subtype table (capture/video_subtypes.h); empty when the
    // subtype is not in it.
    std::string subtypeName;
    // From the capability's video format block; 0 without one.
    std::uint32_t bitsPerSecond = 0;
    // Analog standard names (NTSC_M, PAL_B, ...), blank-separated, trimmed.
    std::string standards;
    std::int32_t outputMinWidth = 0;
    std::int32_t outputMinHeight = 0;
    // The controller takes this as the capability's frame size.
    std::int32_t outputMaxWidth = 0;
    std::int32_t outputMaxHeight = 0;
    std::int32_t outputStepX = 0;
    std::int32_t outputStepY = 0;

    friend bool operator==(const TIEVideoFormat&, const TIEVideoFormat&) = default;
};

// The message the grabber posts for a new sample (8026 would be graph events,
// which the control does not use).
inline constexpr unsigned kNewFrameMessage = 8025;

class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;
    CaptureDevice() = default;
    CaptureDevice(const CaptureDevice&) = delete;
    CaptureDevice& operator=(const CaptureDevice&) = delete;

    // Friendly names of the video input devices, in enumeration order; equal
    // names stand for several devices of one model. Enumerates the first time;
    // later calls return the same list without enumerating again, unless it
    // was empty.
    virtual std::vector<std::string> deviceNames() = 0;

    // index < 0: no device selected. index >= number of names: nothing
    // changes. Otherwise enumerates again and selects the instance-th device
    // (from 0) whose friendly name equals name `index` exactly; none when
    // there is no such device.
    virtual void selectDevice(int index, int instance) = 0;

    // Takes effect at the next connect: with it, the graph gets a frame
    // grabber restricted to 24-bit RGB that keeps the latest sample and
    // announces each new one. False at creation.
    virtual bool grabberEnabled() const = 0;
    virtual void setGrabberEnabled(bool enabled) = 0;

    // Turns the notification switch on, builds the graph for the selected
    // device (without one: a graph without a source and an empty format table)
    // and replaces the format table with the device's capabilities, in its
    // order. Throws Error when a part of the graph cannot be created.
    virtual void connect() = 0;
    // A graph exists.
    virtual bool isConnected() const = 0;

    // The format table: filled by connect, kept after disconnect.
    virtual int formatCount() const = 0;
    // Throws Error when i is outside 0 .. formatCount() - 1.
    virtual TIEVideoFormat formatAt(int i) const = 0;

    // Changes the capture output format of the connected graph: width and
    // height when both are non-zero, the subtype when the name is not empty
    // (a name not in the table selects its first entry). Whether the device
    // then delivers that size is up to it. Nothing without a graph.
    virtual void applyFormat(int width, int height, const std::string& subtypeName) = 0;

    // Start the graph; stop it once it has cued data. Nothing without a graph.
    virtual void run() = 0;
    virtual void stopWhenReady() = 0;
    // Stops the graph if it runs, then releases it. Safe without a graph; the
    // format table stays.
    virtual void disconnect() = 0;

    // Copies the latest complete sample into `bitmap`, upright, reallocating
    // it to the delivered size first when it differs (its pixels are then
    // undefined until a sample exists). Nothing without a graph or without a
    // frame grabber; the bitmap keeps its size when no sample arrived yet.
    // Never waits for a new sample.
    virtual void grabFrame(Image& bitmap) = 0;

    // The handler that runs for new frames, on the user-interface thread
    // (the preview handler). On Windows the binding receives kNewFrameMessage
    // in a window of the UI thread, so it runs during message pumps.
    void setNewFrameHandler(std::function<void()> handler) { newFrameHandler_ = std::move(handler); }

    // While on, each new sample is announced. connect turns it on. The
    // grabber's streaming thread reads it.
    bool notificationsEnabled() const { return notify_.load(); }
    void setNotificationsEnabled(bool on) { notify_.store(on); }

protected:
    // What the UI thread does with one new-frame message: switch off, run
    // the handler if a graph still exists, switch on. Samples arriving while
    // the handler runs are not announced; messages already posted are still
    // delivered, so the handler may run again at once.
    // A frame that cannot be shown is skipped: nothing escapes into the
    // window procedure or the pump that delivered the message.
    void deliverNewFrame() noexcept {
        setNotificationsEnabled(false);
        if (isConnected() && newFrameHandler_) {
            try {
                auto handler = newFrameHandler_;  // a copy: the handler may replace itself
                handler();
            } catch (...) {
            }
        }
        setNotificationsEnabled(true);
    }

private:
    std::function<void()> newFrameHandler_;
    std::atomic<bool> notify_{false};
};

// The platform's device: DirectShow on Windows (capture/win32).
std::unique_ptr<CaptureDevice> makePlatformCaptureDevice();

}  // namespace orvix
