#include "ui/win32/win32_shell.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

namespace orvix {
namespace {

// The dialog wants "desc\0pattern\0...\0\0" where we keep "desc|pattern|...".
std::string dialogFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    out.append(2, '\0');
    return out;
}

// An Explorer-style multi-select answer is "folder\0name\0name\0\0"; a single choice is one full path.
std::vector<std::string> splitSelection(const char* buffer) {
    std::vector<std::string> parts;
    for (const char* p = buffer; *p; p += std::strlen(p) + 1) parts.emplace_back(p);
    if (parts.size() <= 1) return parts;
    std::string folder = parts.front();
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    std::vector<std::string> files;
    for (std::size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
    return files;
}

}  // namespace

int Win32Shell::messageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

std::optional<std::vector<std::string>> Win32Shell::openFiles(const OpenFilesRequest& request) {
    std::string filter = dialogFilter(request.filter);
    std::vector<char> buffer(64 * 1024, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
    if (request.multiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
    if (request.mustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (request.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) return std::nullopt;
    return splitSelection(buffer.data());
}

std::optional<std::string> Win32Shell::saveFile(const SaveFileRequest& request) {
    std::string filter = dialogFilter(request.filter);
    std::vector<char> buffer(MAX_PATH * 4, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
    if (!GetSaveFileNameA(&ofn)) return std::nullopt;
    return std::string(buffer.data());
}

}  // namespace orvix
