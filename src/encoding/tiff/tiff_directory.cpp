#include "encoding/tiff/tiff_directory.h"

#include <algorithm>

#include "errors.h"

namespace orvix::tiff {

void TiffDirectory::add(std::uint16_t tag, FieldType type, std::uint32_t count, std::span<const std::uint8_t> bytes) {
    if (has(tag)) throw Error("TIFF tag " + std::to_string(tag) + " written twice");
    Entry e{tag, type, count, {}};
    if (bytes.size() <= 4) {
        std::copy(bytes.begin(), bytes.end(), e.value.begin());
    } else {
        block_.padToEven();
        storeLe32(e.value.data(), block_.offset());
        block_.write(bytes);
    }
    entries_.push_back(e);
}

void TiffDirectory::addShort(std::uint16_t tag, std::uint16_t value) { addShorts(tag, std::span(&value, 1)); }

void TiffDirectory::addShorts(std::uint16_t tag, std::span<const std::uint16_t> values) {
    std::vector<std::uint8_t> bytes(values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i) storeLe16(bytes.data() + 2 * i, values[i]);
    add(tag, FieldType::Short, static_cast<std::uint32_t>(values.size()), bytes);
}

void TiffDirectory::addLong(std::uint16_t tag, std::uint32_t value) { addLongs(tag, std::span(&value, 1)); }

void TiffDirectory::addLongs(std::uint16_t tag, std::span<const std::uint32_t> values) {
    std::vector<std::uint8_t> bytes(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i) storeLe32(bytes.data() + 4 * i, values[i]);
    add(tag, FieldType::Long, static_cast<std::uint32_t>(values.size()), bytes);
}

void TiffDirectory::addRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) {
    std::uint8_t bytes[8];
    storeLe32(bytes, numerator);
    storeLe32(bytes + 4, denominator);
    add(tag, FieldType::Rational, 1, bytes);
}

void TiffDirectory::addAscii(std::uint16_t tag, const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    add(tag, FieldType::Ascii, static_cast<std::uint32_t>(bytes.size()), bytes);
}

bool TiffDirectory::has(std::uint16_t tag) const {
    return std::any_of(entries_.begin(), entries_.end(), [tag](const Entry& e) { return e.tag == tag; });
}

std::uint32_t TiffDirectory::write(std::uint32_t nextOffset) {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    block_.padToEven();
    const std::uint32_t at = block_.offset();
    block_.put16(static_cast<std::uint16_t>(entries_.size()));
    for (const Entry& e : entries_) {
        block_.put16(e.tag);
        block_.put16(static_cast<std::uint16_t>(e.type));
        block_.put32(e.count);
        block_.write(e.value);
    }
    block_.put32(nextOffset);
    toOffset(block_.position());
    return at;
}

}  // namespace orvix::tiff
