// The runner's tests call COM on one apartment thread, as a host does.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

// Controls show modal message boxes (a control created without a camera says
// so): close each one as it opens, so no test waits for a click.
LRESULT CALLBACK closeMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char name[16] = {};
        if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32770") == 0) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetWindowsHookExA(WH_CBT, closeMessageBoxes, nullptr, GetCurrentThreadId());
    int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
