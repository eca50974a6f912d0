#include "text.h"

#include <windows.h>

#include <cstdio>

namespace orvixhost {

std::wstring fromCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), n);
    return out;
}

std::string toUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring quoted(std::wstring_view text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"': out += L"\\\""; break;
        case L'\n': out += L"\\n"; break;
        case L'\r': out += L"\\r"; break;
        case L'\t': out += L"\\t"; break;
        default: out += c;
        }
    }
    return out + L"\"";
}

std::wstring hex32(unsigned long value) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"0x%08lX", value);
    return buf;
}

} // namespace orvixhost
