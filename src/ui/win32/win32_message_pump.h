#pragma once
// Runs the messages waiting in the thread's queue.
#include "ui/message_pump.h"

namespace orvix {

class Win32MessagePump final : public MessagePump {
public:
    void pumpPending() override;
    void sleep(int milliseconds) override;
};

}  // namespace orvix
