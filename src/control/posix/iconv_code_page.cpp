#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

#include "control/code_page.h"

namespace orvix {
namespace {

class Iconv {
public:
    Iconv(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("code page not available: " + from + " -> " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts as much as possible; returns false at an invalid or unconvertible sequence.
    bool convert(const char*& in, std::size_t& inLeft, std::string& out) const {
        char buffer[256];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        }
        return true;
    }
    void reset() const { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

class IconvCodePage final : public CodePage {
public:
    explicit IconvCodePage(const std::string& name)
        : toNarrow_(name, "UTF-16LE"), toWide_("UTF-16LE", name) {}

    std::string fromUtf16(std::u16string_view text) const override {
        std::string bytes;
        bytes.reserve(text.size() * 2);
        for (char16_t c : text) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
        }
        std::string out;
        const char* in = bytes.data();
        std::size_t left = bytes.size();
        while (!toNarrow_.convert(in, left, out)) {
            // Skip one character (a surrogate pair counts as one), as Windows does.
            std::size_t unit = 2;
            if (left >= 4) {
                unsigned hi = static_cast<unsigned char>(in[0]) | static_cast<unsigned char>(in[1]) << 8;
                if (hi >= 0xD800 && hi < 0xDC00) unit = 4;
            }
            unit = std::min(unit, left);
            in += unit;
            left -= unit;
            out.push_back('?');
            toNarrow_.reset();
        }
        return out;
    }

    std::u16string toUtf16(std::string_view text) const override {
        std::string out;
        const char* in = text.data();
        std::size_t left = text.size();
        while (!toWide_.convert(in, left, out)) {
            ++in;
            --left;
            out.append("?\0", 2);
            toWide_.reset();
        }
        std::u16string wide(out.size() / 2, u'\0');
        for (std::size_t i = 0; i < wide.size(); ++i)
            wide[i] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * i]) |
                                            static_cast<unsigned char>(out[2 * i + 1]) << 8);
        return wide;
    }

private:
    Iconv toNarrow_;
    Iconv toWide_;
};

}  // namespace

std::unique_ptr<CodePage> makeIconvCodePage(const std::string& name) {
    return std::make_unique<IconvCodePage>(name);
}

std::unique_ptr<CodePage> makeSystemCodePage() { return makeIconvCodePage("CP936"); }

}  // namespace orvix
