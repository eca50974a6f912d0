#pragma once
// 8-bit <-> UTF-16 conversion at the scripting boundary. Strings inside the control
// are 8-bit in one ANSI code page; script strings are UTF-16.
#include <memory>
#include <string>
#include <string_view>

namespace orvix {

class CodePage {
public:
    virtual ~CodePage() = default;
    // A character the code page cannot hold becomes its default character ('?').
    virtual std::string fromUtf16(std::u16string_view text) const = 0;
    // A byte sequence that is not valid in the code page becomes '?'.
    virtual std::u16string toUtf16(std::string_view text) const = 0;
};

// The code page the control runs with on this platform: the calling thread's ANSI
// code page on Windows; natively the named iconv code page (CP936 by default).
std::unique_ptr<CodePage> makeSystemCodePage();
std::unique_ptr<CodePage> makeIconvCodePage(const std::string& name);

}  // namespace orvix
