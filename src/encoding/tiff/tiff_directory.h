#pragma once
// One image file directory: entries collected as the page is written (their
// out-of-line values go to the block at once), then sorted and written.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "encoding/tiff/tiff_block.h"

namespace orvix::tiff {

enum class FieldType : std::uint16_t { Byte = 1, Ascii = 2, Short = 3, Long = 4, Rational = 5, Undefined = 7 };

class TiffDirectory {
public:
    explicit TiffDirectory(TiffBlock& block) : block_(block) {}

    void addShort(std::uint16_t tag, std::uint16_t value);
    void addShorts(std::uint16_t tag, std::span<const std::uint16_t> values);
    void addLong(std::uint16_t tag, std::uint32_t value);
    void addLongs(std::uint16_t tag, std::span<const std::uint32_t> values);
    void addRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator);
    // Written with its terminating zero, which the count includes.
    void addAscii(std::uint16_t tag, const std::string& text);

    bool has(std::uint16_t tag) const;

    // Writes the directory at the next even position; returns its offset.
    std::uint32_t write(std::uint32_t nextOffset);

private:
    struct Entry {
        std::uint16_t tag;
        FieldType type;
        std::uint32_t count;
        std::array<std::uint8_t, 4> value;
    };
    void add(std::uint16_t tag, FieldType type, std::uint32_t count, std::span<const std::uint8_t> bytes);

    TiffBlock& block_;
    std::vector<Entry> entries_;
};

}  // namespace orvix::tiff
