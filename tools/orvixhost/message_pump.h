#pragma once
// Waiting that keeps the thread's windows, timers and COM calls alive.
#include <functional>

namespace orvixhost {

// Dispatches messages for `ms` milliseconds, or until `stop` returns true.
void pumpMessages(unsigned long ms, const std::function<bool()>& stop);

} // namespace orvixhost
