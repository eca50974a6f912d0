#include "ui/win32/win32_message_pump.h"

#include <windows.h>

namespace orvix {

void Win32MessagePump::pumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the host's own loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32MessagePump::sleep(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds)); }

}  // namespace orvix
