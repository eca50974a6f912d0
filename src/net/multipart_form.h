#pragma once
// A multipart/form-data body that is never assembled in memory: part heads
// are generated as the stream is read and file contents come straight from
// their files, so its length is known before a byte is read. Every part ends
// with CRLF, which is the delimiter's leading line end: the closing delimiter
// follows directly, so the last file arrives without two stray bytes.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/http_post.h"

namespace orvix::net {

class MultipartForm final : public BodySource {
public:
    explicit MultipartForm(std::string boundary);

    const std::string& boundary() const { return boundary_; }
    // "multipart/form-data; boundary=" and the boundary.
    std::string contentType() const;

    // Texts are bytes in the control's code page, sent unchanged.
    void addField(std::string_view name, std::string_view value);
    // Opens the file at once, for reading with writes by others refused, and
    // keeps it open until the form is destroyed. Throws Error when it cannot.
    void addFile(std::string_view name, const std::string& path, std::string_view contentType);

    std::uint64_t size() const override;
    std::size_t read(std::span<std::uint8_t> buffer) override;

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    // Each part is its head text, then optionally a file, then CRLF.
    struct Part {
        std::string head;
        std::unique_ptr<std::FILE, FileCloser> file;
        std::uint64_t fileSize = 0;
        std::string path;
    };
    // Sections in stream order: the head, the file, the tail.
    std::size_t readText(std::string_view text, std::span<std::uint8_t> buffer);

    std::string boundary_;
    std::string end_;
    std::vector<Part> parts_;
    // Read position: part index (parts_.size() means the end), section in it
    // (0 head, 1 file, 2 CRLF), offset in that section.
    std::size_t part_ = 0;
    int section_ = 0;
    std::uint64_t offset_ = 0;
};

}  // namespace orvix::net
