#pragma once
// This process's resident memory from /proc, for the memory benchmarks.
#include <cstdlib>
#include <fstream>
#include <string>

namespace orvix::bench {

// A field of /proc/self/status in bytes; -1 when missing.
inline long long statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atoll(line.c_str() + key.size()) * 1024;
    return -1;
}

// Lowers VmHWM to the current VmRSS, so that what came before does not count.
inline bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

}  // namespace orvix::bench
