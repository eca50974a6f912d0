#include "output.h"

#include "text.h"

#include <windows.h>

#include <mutex>

namespace orvixhost {

void printLine(std::wstring_view line) {
    static std::mutex lock;
    const std::scoped_lock guard(lock);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode)) {
        // A real console takes UTF-16 directly; bytes would go through its code page.
        std::wstring text(line);
        text += L"\r\n";
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = toUtf8(line);
    bytes += '\n';
    // WriteFile does not buffer, so the line is out before the call returns.
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace orvixhost
