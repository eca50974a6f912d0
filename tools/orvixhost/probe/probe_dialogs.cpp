#include "probe_dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

namespace orvixhost::probe {

namespace {

constexpr size_t kPathBuffer = 32768;

std::string ansi(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wide(const char* s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, out.data(), n);
    return out;
}

std::wstring wide(const wchar_t* s) { return s; }
size_t length(const char* s) { return std::strlen(s); }
size_t length(const wchar_t* s) { return std::wcslen(s); }

template <class String>
String pairs(String filter) {
    for (auto& c : filter) {
        if (c == '|') c = 0;
    }
    filter.push_back(0);
    filter.push_back(0);
    return filter;
}

template <class Char>
std::wstring joinedPaths(const Char* buffer) {
    const std::wstring first = wide(buffer);
    const Char* next = buffer + length(buffer) + 1;
    if (!*next) return first;
    std::wstring out;
    for (; *next; next += length(next) + 1) {
        if (!out.empty()) out += L'|';
        out += first + L'\\' + wide(next);
    }
    return out;
}

template <class Ofn, class Char, class String>
std::wstring run(BOOL(WINAPI* show)(Ofn*), const String& title, const String& filter, unsigned flags) {
    std::vector<Char> buffer(kPathBuffer, 0);
    const String filterPairs = pairs(filter);
    Ofn ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = filterPairs.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = flags;
    return show(&ofn) ? joinedPaths(buffer.data()) : std::wstring();
}

} // namespace

int showBox(Charset charset, const std::wstring& text, const std::wstring& caption, unsigned flags) {
    if (charset == Charset::Wide) return MessageBoxW(nullptr, text.c_str(), caption.c_str(), flags);
    return MessageBoxA(nullptr, ansi(text).c_str(), ansi(caption).c_str(), flags);
}

std::wstring pickFile(FileDialog kind, Charset charset, const std::wstring& title, const std::wstring& filter,
                      unsigned flags) {
    if (charset == Charset::Wide) {
        auto* show = kind == FileDialog::Open ? &GetOpenFileNameW : &GetSaveFileNameW;
        return run<OPENFILENAMEW, wchar_t>(show, title, filter, flags);
    }
    auto* show = kind == FileDialog::Open ? &GetOpenFileNameA : &GetSaveFileNameA;
    return run<OPENFILENAMEA, char>(show, ansi(title), ansi(filter), flags);
}

} // namespace orvixhost::probe
