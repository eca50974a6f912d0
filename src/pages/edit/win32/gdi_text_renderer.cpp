// Text on Windows: the page goes into a DIB section, GDI draws the text on it
// with TextOutA, and the pixels come back. GDI's font linking supplies the
// characters a font lacks.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "errors.h"
#include "pages/edit/text_renderer.h"

namespace orvix {
namespace {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using DcPtr = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using ObjectPtr = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, ObjectDeleter>;

// Puts the DC's original object back before the selected one is deleted.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// LOGFONT holds 31 bytes of face name; never cut a double-byte character.
std::string faceName(const std::string& face) {
    std::string out;
    for (const char* p = face.c_str(); *p;) {
        const char* next = CharNextExA(936, p, 0);
        if (next == p || out.size() + static_cast<std::size_t>(next - p) > LF_FACESIZE - 1) break;
        out.append(p, next);
        p = next;
    }
    return out;
}

// The screen's pixels per inch, as the window toolkit converts font sizes.
int screenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

std::size_t dibStride(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3); }

class GdiTextRenderer final : public TextRenderer {
public:
    void draw(Image& image, int x, int y, std::string_view text, const TextStyle& style) override {
        if (image.empty() || text.empty()) return;
        DcPtr dc(CreateCompatibleDC(nullptr));
        if (!dc) throw Error("no drawing surface");

        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = image.width();
        info.bmiHeader.biHeight = -image.height();  // rows top-down, as Image keeps them
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        ObjectPtr dib(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dib || !bits) throw Error("no bitmap for the page");
        copyPixels(image, static_cast<std::uint8_t*>(bits), true);

        const int height = -MulDiv(style.points, screenPixelsPerInch(), 72);
        ObjectPtr font(CreateFontA(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH, faceName(style.face).c_str()));
        if (!font) throw Error("font cannot be made");
        {
            Selected bitmap(dc.get(), dib.get());
            Selected chosenFont(dc.get(), font.get());
            SetBkMode(dc.get(), TRANSPARENT);
            SetTextAlign(dc.get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
            SetTextColor(dc.get(), static_cast<COLORREF>(style.colour));
            const int length = static_cast<int>(std::min<std::size_t>(text.size(), std::numeric_limits<int>::max()));
            TextOutA(dc.get(), x, y, text.data(), length);
            GdiFlush();
        }
        copyPixels(image, static_cast<std::uint8_t*>(bits), false);
    }

private:
    // Image rows are RGB and packed; DIB rows are BGR and padded to 4 bytes.
    static void copyPixels(Image& image, std::uint8_t* dib, bool toDib) {
        const std::size_t stride = dibStride(image.width());
        for (int y = 0; y < image.height(); ++y) {
            std::uint8_t* row = image.row(y);
            std::uint8_t* d = dib + stride * static_cast<std::size_t>(y);
            for (int x = 0; x < image.width(); ++x, row += 3, d += 3) {
                if (toDib) {
                    d[0] = row[2];
                    d[1] = row[1];
                    d[2] = row[0];
                } else {
                    row[0] = d[2];
                    row[1] = d[1];
                    row[2] = d[0];
                }
            }
        }
    }
};

}  // namespace

std::unique_ptr<TextRenderer> makeSystemTextRenderer() { return std::make_unique<GdiTextRenderer>(); }

}  // namespace orvix
