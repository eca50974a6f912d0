#include "script_file.h"

#include "text.h"

#include <windows.h>

#include <memory>
#include <string>

namespace orvixhost {

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

} // namespace

std::optional<std::wstring> readScriptFile(const std::wstring& path, std::wstring& why) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        why = L"cannot open (error " + std::to_wstring(GetLastError()) + L")";
        return std::nullopt;
    }
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);

    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (!text.empty() && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0) == 0) {
        why = L"not valid UTF-8";
        return std::nullopt;
    }
    return fromCodePage(text, CP_UTF8);
}

} // namespace orvixhost
