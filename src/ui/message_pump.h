#pragma once
// "Let pending window messages run": the points where the control lets preview
// frames, repaints and clicks in during an operation.

namespace orvix {

class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void pumpPending() = 0;
    virtual void sleep(int milliseconds) = 0;
};

}  // namespace orvix
