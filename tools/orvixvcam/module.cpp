#include "module.h"

#include <atomic>

namespace orvix::vcam {
namespace {

HINSTANCE g_instance = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

void setModuleHandle(HINSTANCE instance) { g_instance = instance; }

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(g_instance, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void objectCreated() { ++g_objects; }
void objectDestroyed() { --g_objects; }
void lockServer(bool lock) { lock ? ++g_locks : --g_locks; }
bool canUnloadNow() { return g_objects == 0 && g_locks == 0; }

}  // namespace orvix::vcam
