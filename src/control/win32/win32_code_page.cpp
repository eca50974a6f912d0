#include <windows.h>

#include "control/code_page.h"

namespace orvix {
namespace {

// CP_THREAD_ACP exists from Windows 2000 on; older systems use the thread locale's ANSI page.
UINT controlCodePage() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExA(&info) && info.dwMajorVersion > 4) return CP_THREAD_ACP;
#pragma GCC diagnostic pop
    char buffer[8] = {};
    GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, buffer, sizeof buffer);
    return static_cast<UINT>(atoi(buffer));
}

class Win32CodePage final : public CodePage {
public:
    std::string fromUtf16(std::u16string_view text) const override {
        if (text.empty()) return {};
        auto wide = reinterpret_cast<const wchar_t*>(text.data());
        int n = WideCharToMultiByte(cp_, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(cp_, 0, wide, static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
        return out;
    }
    std::u16string toUtf16(std::string_view text) const override {
        if (text.empty()) return {};
        int n = MultiByteToWideChar(cp_, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::u16string out(static_cast<std::size_t>(n), u'\0');
        MultiByteToWideChar(cp_, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(out.data()), n);
        return out;
    }

private:
    UINT cp_ = controlCodePage();
};

}  // namespace

std::unique_ptr<CodePage> makeSystemCodePage() { return std::make_unique<Win32CodePage>(); }

}  // namespace orvix
