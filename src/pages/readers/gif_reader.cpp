// GIF through giflib, record by record so that no frame buffer is allocated
// before its size is checked. Each frame is composed onto the logical screen
// (white where nothing shows through) and the composite is the decoded image.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "errors.h"
#include "pages/readers/format_readers.h"

namespace orvix::readers {
namespace {

constexpr std::string_view kFormat = "GIF";
constexpr Rgb kWhite{255, 255, 255};

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

int readProc(GifFileType* gif, GifByteType* out, int length) {
    auto* s = static_cast<Source*>(gif->UserData);
    if (length <= 0) return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(length), s->size - s->offset);
    std::memcpy(out, s->data + s->offset, n);
    s->offset += n;
    return static_cast<int>(n);
}

struct Close {
    void operator()(GifFileType* gif) const {
#if GIFLIB_MAJOR > 5 || (GIFLIB_MAJOR == 5 && GIFLIB_MINOR >= 1)
        int error = 0;
        DGifCloseFile(gif, &error);
#else
        DGifCloseFile(gif);
#endif
    }
};
using GifPtr = std::unique_ptr<GifFileType, Close>;

[[noreturn]] void failCode(int code) {
    const char* text = GifErrorString(code);
    fail(kFormat, text ? text : "unreadable data");
}

enum class Disposal { Keep, Background, Previous };

struct Control {
    Disposal disposal = Disposal::Keep;
    int transparent = -1;
};

// Graphic control extension: flags, delay (2 bytes), transparent index.
Control parseControl(const GifByteType* block) {
    Control c;
    if (!block || block[0] < 4) return c;
    const int flags = block[1];
    const int disposal = (flags >> 2) & 7;
    c.disposal = disposal == 2 ? Disposal::Background : disposal == 3 ? Disposal::Previous : Disposal::Keep;
    if (flags & 1) c.transparent = block[4];
    return c;
}

struct Rect {
    int left, top, width, height;
};

void fillRect(Image& canvas, const Rect& r, Rgb colour) {
    const int x1 = std::min(canvas.width(), r.left + r.width);
    const int y1 = std::min(canvas.height(), r.top + r.height);
    for (int y = r.top; y < y1; ++y)
        for (int x = r.left; x < x1; ++x) canvas.setPixel(x, y, colour);
}

void drawRow(Image& canvas, const Rect& r, int row, const std::vector<GifPixelType>& line,
             const ColorMapObject& map, int transparent) {
    const int y = r.top + row;
    if (y >= canvas.height()) return;
    const int x1 = std::min(canvas.width(), r.left + r.width);
    for (int x = r.left; x < x1; ++x) {
        const int index = line[static_cast<std::size_t>(x - r.left)];
        if (index == transparent) continue;
        // Indexes past the colour table show black.
        const GifColorType c = index < map.ColorCount ? map.Colors[index] : GifColorType{0, 0, 0};
        canvas.setPixel(x, y, Rgb{c.Red, c.Green, c.Blue});
    }
}

// Rows in file order: interlaced frames come in four passes.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    return order;
}

class Composer {
public:
    Composer(GifFileType* gif, std::size_t maxImages, OnBrokenImage onBroken)
        : gif_(gif), maxImages_(maxImages), onBroken_(onBroken) {}

    std::vector<DecodedImage> run() {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        while (frames_.size() < maxImages_) {
            if (DGifGetRecordType(gif_, &type) == GIF_ERROR) {
                // A missing trailer after complete frames is common and harmless.
                if (!frames_.empty()) break;
                failCode(gif_->Error);
            }
            if (type == TERMINATE_RECORD_TYPE) break;
            try {
                if (type == IMAGE_DESC_RECORD_TYPE) readFrame();
                else if (type == EXTENSION_RECORD_TYPE) readExtension();
            } catch (const DecodeError&) {
                // The broken frame was never added; the canvas is not used again.
                if (onBroken_ == OnBrokenImage::EndSeries && !frames_.empty()) break;
                throw;
            }
        }
        if (frames_.empty()) fail(kFormat, "the file holds no image");
        return std::move(frames_);
    }

private:
    void readExtension() {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) failCode(gif_->Error);
        if (code == GRAPHICS_EXT_FUNC_CODE) control_ = parseControl(block);
        while (block)
            if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) failCode(gif_->Error);
    }

    void readFrame() {
        if (DGifGetImageDesc(gif_) == GIF_ERROR) failCode(gif_->Error);
        const GifImageDesc& desc = gif_->Image;
        const Rect r{desc.Left, desc.Top, desc.Width, desc.Height};
        checkDimensions(kFormat, r.width, r.height);
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
        if (!map) fail(kFormat, "a frame has no colour table");
        if (canvas_.empty()) startCanvas(r, *map);
        checkTotal(kFormat, usedBytes_, canvas_.width(), canvas_.height());

        std::optional<Image> previous;
        if (control_.disposal == Disposal::Previous) previous = canvas_;
        std::vector<GifPixelType> line(static_cast<std::size_t>(r.width));
        for (const int row : rowOrder(r.height, desc.Interlace)) {
            if (DGifGetLine(gif_, line.data(), r.width) == GIF_ERROR) failCode(gif_->Error);
            drawRow(canvas_, r, row, line, *map, control_.transparent);
        }

        DecodedImage frame;
        frame.image = canvas_;
        frame.bitsPerSample = bitsPerSample_;
        frame.samplesPerPixel = 1;
        usedBytes_ += frame.image.byteSize();
        frames_.push_back(std::move(frame));

        if (control_.disposal == Disposal::Background) fillRect(canvas_, r, kWhite);
        if (previous) canvas_ = std::move(*previous);
        control_ = Control{};
    }

    // The logical screen, grown to the first frame when it claims less.
    void startCanvas(const Rect& first, const ColorMapObject& map) {
        const long long width = std::max<long long>(gif_->SWidth, first.left + first.width);
        const long long height = std::max<long long>(gif_->SHeight, first.top + first.height);
        checkDimensions(kFormat, width, height);
        canvas_ = Image(static_cast<int>(width), static_cast<int>(height), kWhite);
        bitsPerSample_ = gif_->SColorMap ? gif_->SColorMap->BitsPerPixel : map.BitsPerPixel;
    }

    GifFileType* gif_;
    std::size_t maxImages_;
    OnBrokenImage onBroken_;
    Image canvas_;
    Control control_;
    int bitsPerSample_ = 8;
    std::size_t usedBytes_ = 0;
    std::vector<DecodedImage> frames_;
};

}  // namespace

std::vector<DecodedImage> decodeGif(Bytes bytes, std::size_t maxImages, OnBrokenImage onBroken) {
    Source src{bytes.data(), bytes.size(), 0};
    int error = 0;
    GifPtr gif(DGifOpen(&src, readProc, &error));
    if (!gif) failCode(error);
    return Composer(gif.get(), maxImages, onBroken).run();
}

}  // namespace orvix::readers
