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

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // Hands the buffer over and leaves the sink empty.
    std::vector<std::uint8_t> take();

private:
    std::vector<std::uint8_t> bytes_;
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
