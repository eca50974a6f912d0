#pragma once
// A message pump that counts, and can run queued "messages" while pumping so
// that re-entrant calls can be provoked at the points where Windows would.
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "ui/message_pump.h"

namespace orvix::test {

class TestPump : public MessagePump {
public:
    int pumps = 0;
    std::vector<int> sleeps;  // milliseconds of each sleep, in order

    // Runs inside the next pumpPending().
    void post(std::function<void()> message) { queued_.push_back(std::move(message)); }
    // Runs at the start of every pumpPending(), before the queue: what another
    // thread did since the last pump (a camera sample posting its message).
    std::function<void()> beforeEachPump;
    bool idle() const { return queued_.empty(); }

    void pumpPending() override {
        ++pumps;
        if (beforeEachPump) beforeEachPump();
        // Like a real pump, messages posted while pumping run in this pump too.
        while (!queued_.empty()) {
            auto message = std::move(queued_.front());
            queued_.pop_front();
            message();
        }
    }

    void sleep(int milliseconds) override { sleeps.push_back(milliseconds); }

private:
    std::deque<std::function<void()>> queued_;
};

}  // namespace orvix::test
