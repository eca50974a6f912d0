#pragma once
// Where encoders put their bytes. Encoders write through this interface only,
// so one encoder serves memory buffers, files and other streams alike.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace orvix {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes all of the bytes or throws.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
    // Bytes taken so far.
    virtual std::uint64_t position() const = 0;
};

// A growing memory buffer.
class VectorSink final : public ByteSink {
public:
    void write(std::span<const std::uint8_t> bytes) override;
    std::uint64_t position() const override { return bytes_.size(); }

    // Room for size bytes in all, so growing does not copy.
    void reserve(std::size_t size) { bytes_.reserve(size); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // Hands the buffer over and leaves the sink empty.
    std::vector<std::uint8_t> take();

private:
    std::vector<std::uint8_t> bytes_;
};

// Appends to a string, e.g. one whose capacity the caller reserved.
class StringSink final : public ByteSink {
public:
    explicit StringSink(std::string& text) : text_(text) {}
    void write(std::span<const std::uint8_t> bytes) override {
        text_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::uint64_t position() const override { return text_.size(); }

private:
    std::string& text_;
};

// A file created (or truncated) at construction. close() reports a failed
// flush; the destructor closes quietly.
class FileSink final : public ByteSink {
public:
    explicit FileSink(const std::string& path);

    void write(std::span<const std::uint8_t> bytes) override;
    std::uint64_t position() const override { return position_; }
    void close();

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::string path_;
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t position_ = 0;
};

}  // namespace orvix
