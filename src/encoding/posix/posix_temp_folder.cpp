#include "encoding/posix/posix_temp_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors.h"

namespace orvix {
namespace {

unsigned tickCount() {
    using namespace std::chrono;
    return static_cast<unsigned>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::string hexNumber(unsigned n) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", n);
    return text;
}

}  // namespace

PosixTempFolder::PosixTempFolder(std::string dir) : dir_(std::move(dir)) {
    if (dir_.empty() || dir_.back() != '/') dir_ += '/';
}

std::string PosixTempFolder::createUniqueFile(std::string_view prefix) {
    const std::string head = dir_ + std::string(prefix.substr(0, 3));
    // Like GetTempFileNameA: start from the clock, never reuse the last
    // number soon after, skip 0, and try each 16-bit number once.
    unsigned start = tickCount() & 0xFFFF;
    if (last_ - start < 10) start = (last_ + 1) & 0xFFFF;
    if (start == 0) start = 1;
    unsigned n = start;
    do {
        const std::string path = head + hexNumber(n) + ".TMP";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            ::close(fd);
            last_ = n;
            return path;
        }
        if (errno != EEXIST) throw Error("Cannot create a temporary file in " + dir_ + ": " + std::strerror(errno));
        n = (n + 1) & 0xFFFF;
        if (n == 0) n = 1;
    } while (n != start);
    throw Error("No unique temporary file name is left in " + dir_);
}

bool PosixTempFolder::exists(const std::string& path) const {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::unique_ptr<TempFolder> systemTempFolder() {
    const char* dir = std::getenv("TMPDIR");
    return std::make_unique<PosixTempFolder>(dir && *dir ? dir : "/tmp");
}

}  // namespace orvix
