#include "net/multipart_form.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <sys/stat.h>
#endif

#include "errors.h"

namespace orvix::net {
namespace {

constexpr std::string_view kCrlf = "\r\n";

std::FILE* openDenyingWrites(const std::string& path) {
#ifdef _WIN32
    return _fsopen(path.c_str(), "rb", _SH_DENYWR);
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

std::uint64_t fileSize(std::FILE* file) {
#ifdef _WIN32
    const auto size = _filelengthi64(_fileno(file));
#else
    struct stat st {};
    const auto size = ::fstat(fileno(file), &st) == 0 ? st.st_size : -1;
#endif
    if (size < 0) throw Error("Cannot measure a form file");
    return static_cast<std::uint64_t>(size);
}

}  // namespace

MultipartForm::MultipartForm(std::string boundary)
    : boundary_(std::move(boundary)), end_("--" + boundary_ + "--\r\n") {}

std::string MultipartForm::contentType() const { return "multipart/form-data; boundary=" + boundary_; }

void MultipartForm::addField(std::string_view name, std::string_view value) {
    Part part;
    part.head.append("--").append(boundary_).append(kCrlf);
    part.head.append("Content-Disposition: form-data; name=\"").append(name).append("\"\r\n");
    part.head.append(kCrlf);
    part.head.append(value);
    parts_.push_back(std::move(part));
}

void MultipartForm::addFile(std::string_view name, const std::string& path, std::string_view contentType) {
    Part part;
    part.file.reset(openDenyingWrites(path));
    if (!part.file) throw Error("Cannot open file \"" + path + "\"");
    part.fileSize = fileSize(part.file.get());
    part.path = path;
    part.head.append("--").append(boundary_).append(kCrlf);
    part.head.append("Content-Disposition: form-data; name=\"").append(name);
    part.head.append("\"; filename=\"").append(path).append("\"\r\n");
    part.head.append("Content-Type: ").append(contentType).append(kCrlf);
    part.head.append(kCrlf);
    parts_.push_back(std::move(part));
}

std::uint64_t MultipartForm::size() const {
    std::uint64_t total = end_.size();
    for (const Part& part : parts_) total += part.head.size() + part.fileSize + kCrlf.size();
    return total;
}

std::size_t MultipartForm::readText(std::string_view text, std::span<std::uint8_t> buffer) {
    const std::size_t n = std::min<std::size_t>(buffer.size(), text.size() - offset_);
    std::memcpy(buffer.data(), text.data() + offset_, n);
    offset_ += n;
    return n;
}

std::size_t MultipartForm::read(std::span<std::uint8_t> buffer) {
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const auto rest = buffer.subspan(filled);
        if (part_ == parts_.size()) {
            if (offset_ == end_.size()) break;
            filled += readText(end_, rest);
            continue;
        }
        Part& part = parts_[part_];
        std::uint64_t sectionSize = 0;
        if (section_ == 0) {
            sectionSize = part.head.size();
            if (offset_ < sectionSize) filled += readText(part.head, rest);
        } else if (section_ == 1) {
            sectionSize = part.fileSize;
            if (offset_ < sectionSize) {
                const std::size_t want =
                    static_cast<std::size_t>(std::min<std::uint64_t>(rest.size(), sectionSize - offset_));
                const std::size_t got = std::fread(rest.data(), 1, want, part.file.get());
                // The length went out in the request head; a file that shrank since
                // cannot be sent as announced.
                if (got == 0) throw Error("File \"" + part.path + "\" changed while it was sent");
                offset_ += got;
                filled += got;
            }
        } else {
            sectionSize = kCrlf.size();
            if (offset_ < sectionSize) filled += readText(kCrlf, rest);
        }
        if (offset_ == sectionSize) {
            offset_ = 0;
            if (++section_ == 3) {
                section_ = 0;
                ++part_;
            }
        }
    }
    return filled;
}

}  // namespace orvix::net
