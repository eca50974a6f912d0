// Text for the native build: FreeType glyphs, fonts found through fontconfig.
// A font without a character borrows it from a Song-style CJK font, as GDI's
// font linking does for SimSun on Windows.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "control/code_page.h"
#include "errors.h"
#include "pages/edit/text_renderer.h"

namespace orvix {
namespace {

// Glyph bitmaps grow with the square of this; far beyond any page.
constexpr int kMaxPixelSize = 4096;
constexpr char kFallbackFontFile[] = "/usr/share/fonts/truetype/arphic/uming.ttc";
constexpr char kChineseLanguage[] = "zh-cn";

struct FontFile {
    std::string path;
    int index = 0;
    auto operator<=>(const FontFile&) const = default;
};

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// An own configuration, freed with the renderer; the library's default one
// is never released before exit.
struct ConfigDeleter {
    void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
using ConfigPtr = std::unique_ptr<FcConfig, ConfigDeleter>;

struct LibraryDeleter {
    void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FaceDeleter {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};
using LibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

std::vector<char32_t> codePoints(const std::u16string& text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            out.push_back(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string utf8(const std::vector<char32_t>& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The named family, or, when there is none of that name, a font for Chinese:
// the family names a Windows page uses ("宋体", "SimSun") are unknown here.
std::optional<FontFile> matchFont(FcConfig* config, const std::string& familyUtf8) {
    if (!config) return std::nullopt;
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    if (!familyUtf8.empty()) {
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    }
    FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(kChineseLanguage));
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(config, pattern.get(), &result));
    if (!match) return std::nullopt;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) return std::nullopt;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return FontFile{reinterpret_cast<const char*>(file), index};
}

class FreeTypeTextRenderer final : public TextRenderer {
public:
    FreeTypeTextRenderer() : codePage_(makeSystemCodePage()), fonts_(FcInitLoadConfigAndFonts()) {
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) != 0) throw Error("FreeType cannot start");
        library_.reset(library);
    }

    void draw(Image& image, int x, int y, std::string_view text, const TextStyle& style) override {
        const long long pixels = std::llabs(static_cast<long long>(pointsToPixels(style.points)));
        if (pixels < 1 || pixels > kMaxPixelSize) throw Error("font size out of range");
        const std::string family = utf8(codePoints(codePage_->toUtf16(style.face)));
        FT_Face primary = face(matchFont(fonts_.get(), family).value_or(FontFile{kFallbackFontFile, 0}));
        FT_Face fallback = face(matchFont(fonts_.get(), "").value_or(FontFile{kFallbackFontFile, 0}));
        setSize(primary, static_cast<int>(pixels));
        setSize(fallback, static_cast<int>(pixels));

        const Rgb colour = colorRefToRgb(style.colour);
        const long long baseline = static_cast<long long>(y) + ((primary->size->metrics.ascender + 32) >> 6);
        long long pen = x;
        for (char32_t c : codePoints(codePage_->toUtf16(text))) {
            if (pen >= image.width()) break;
            FT_Face f = primary;
            FT_UInt glyph = FT_Get_Char_Index(primary, c);
            if (glyph == 0) {
                if (const FT_UInt borrowed = FT_Get_Char_Index(fallback, c); borrowed != 0) {
                    f = fallback;
                    glyph = borrowed;
                }
            }
            if (FT_Load_Glyph(f, glyph, FT_LOAD_TARGET_MONO) != 0) throw Error("glyph cannot be loaded");
            if (style.bold) FT_GlyphSlot_Embolden(f->glyph);
            if (FT_Render_Glyph(f->glyph, FT_RENDER_MODE_MONO) != 0) throw Error("glyph cannot be drawn");
            const FT_GlyphSlot slot = f->glyph;
            blit(image, slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top, colour);
            pen += (slot->advance.x + 32) >> 6;
        }
    }

private:
    FT_Face face(const FontFile& file) {
        auto found = faces_.find(file);
        if (found != faces_.end()) return found->second.get();
        FT_Face f = nullptr;
        if (FT_New_Face(library_.get(), file.path.c_str(), file.index, &f) != 0) {
            throw Error("font cannot be opened: " + file.path);
        }
        return faces_.emplace(file, FacePtr(f)).first->second.get();
    }

    static void setSize(FT_Face f, int pixels) {
        if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixels)) != 0) throw Error("font size not available");
    }

    static void blit(Image& image, const FT_Bitmap& bitmap, long long left, long long top, Rgb colour) {
        const int pitch = std::abs(bitmap.pitch);
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const long long py = top + row;
            if (py < 0 || py >= image.height()) continue;
            const unsigned char* bits = bitmap.buffer + static_cast<std::size_t>(row) * static_cast<std::size_t>(pitch);
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const long long px = left + col;
                if (px < 0 || px >= image.width()) continue;
                const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (bits[col >> 3] & (0x80 >> (col & 7))) != 0
                                                                        : bits[col] >= 128;
                if (on) image.setPixel(static_cast<int>(px), static_cast<int>(py), colour);
            }
        }
    }

    std::unique_ptr<CodePage> codePage_;
    ConfigPtr fonts_;  // null without fontconfig: the fixed fallback file serves
    LibraryPtr library_;
    // Declared after the library, so the faces close first.
    std::map<FontFile, FacePtr> faces_;
};

}  // namespace

std::unique_ptr<TextRenderer> makeSystemTextRenderer() { return std::make_unique<FreeTypeTextRenderer>(); }

}  // namespace orvix
