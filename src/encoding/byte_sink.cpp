#include "encoding/byte_sink.h"

#include <utility>

#include "errors.h"

namespace orvix {

void VectorSink::write(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> VectorSink::take() { return std::exchange(bytes_, {}); }

FileSink::FileSink(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
    if (!file_) throw Error("Cannot create file " + path);
}

void FileSink::write(std::span<const std::uint8_t> bytes) {
    if (!file_) throw Error("File " + path_ + " is closed");
    if (bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size())
        throw Error("Cannot write to file " + path_);
    position_ += bytes.size();
}

void FileSink::close() {
    if (!file_) return;
    // fclose also flushes; its result is the last chance to see a full disk.
    if (std::fclose(file_.release()) != 0) throw Error("Cannot write to file " + path_);
}

}  // namespace orvix
