#include "encoding/lzw_encoder.h"

#include <algorithm>

#include "errors.h"

namespace orvix {

LzwEncoder::LzwEncoder(ByteSink& out) : out_(out), slots_(kHashSize, Slot{0, 0}) {
    putCode(kClearCode);
}

void LzwEncoder::resetTable() {
    std::fill(slots_.begin(), slots_.end(), Slot{0, 0});
    nextCode_ = kFirstFreeCode;
}

void LzwEncoder::encode(std::span<const std::uint8_t> block) {
    if (finished_) throw Error("LZW stream already finished");
    if (block.empty()) return;
    std::size_t i = 0;
    if (!havePrefix_) {
        prefix_ = block[0];
        havePrefix_ = true;
        i = 1;
    }
    Slot* const slots = slots_.data();
    unsigned prefix = prefix_;
    for (; i < block.size(); ++i) {
        const unsigned c = block[i];
        const std::uint32_t key = (c << 12) | prefix;
        int slot = static_cast<int>((c << 4) ^ prefix);
        if (slots[slot].key != 0 && slots[slot].key != key) {
            const int step = slot == 0 ? 1 : kHashSize - slot;
            do {
                slot -= step;
                if (slot < 0) slot += kHashSize;
            } while (slots[slot].key != 0 && slots[slot].key != key);
        }
        if (key != 0 && slots[slot].key == key) {
            prefix = slots[slot].code;
            continue;
        }
        putCode(prefix);
        prefix = c;
        if (nextCode_ > kLastFreeCode) {
            resetTable();
            putCode(kClearCode);
        } else {
            slots[slot].key = key;
            slots[slot].code = nextCode_++;
        }
    }
    prefix_ = prefix;
}

void LzwEncoder::finish() {
    if (finished_) throw Error("LZW stream already finished");
    finished_ = true;
    if (havePrefix_) putCode(prefix_);
    putCode(kEndCode);
    if (bitCount_ > 0) putByte(static_cast<std::uint8_t>(bits_ << (8 - bitCount_)));
    bitCount_ = 0;
    flushOutput();
}

void LzwEncoder::putCode(unsigned code) {
    bits_ = (bits_ << width_) | code;
    bitCount_ += width_;
    while (bitCount_ >= 8) {
        bitCount_ -= 8;
        putByte(static_cast<std::uint8_t>(bits_ >> bitCount_));
    }
    bits_ &= (1u << bitCount_) - 1;
    // The width follows the decoder, which grows it one code early.
    if (code == kClearCode) {
        width_ = 9;
        maxCode_ = 511;
    } else if (nextCode_ > maxCode_ - 1) {
        ++width_;
        maxCode_ = (1u << width_) - 1;
    }
}

void LzwEncoder::putByte(std::uint8_t b) {
    buffer_[buffered_++] = b;
    if (buffered_ == buffer_.size()) flushOutput();
}

void LzwEncoder::flushOutput() {
    if (buffered_ == 0) return;
    const std::size_t n = buffered_;
    buffered_ = 0;
    out_.write(std::span<const std::uint8_t>(buffer_.data(), n));
}

void lzwEncode(std::span<const std::uint8_t> data, ByteSink& out) {
    LzwEncoder encoder(out);
    encoder.encode(data);
    encoder.finish();
}

std::vector<std::uint8_t> lzwEncode(std::span<const std::uint8_t> data) {
    VectorSink sink;
    lzwEncode(data, sink);
    return sink.take();
}

}  // namespace orvix
