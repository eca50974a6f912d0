#include "encoding/temp_names.h"

#include "errors.h"

namespace orvix {
namespace {

// GetTempFileNameA runs out after 65535 numbers; so does this loop, instead
// of spinning on a folder that is full of our names.
constexpr int kMaxAttempts = 65536;

std::string makeName(TempFolder& folder, const std::string& prefix, std::string_view extension) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const std::string name = replaceExtension(folder.createUniqueFile(prefix), extension);
        if (!folder.exists(name)) return name;
    }
    throw Error("No free temporary file name with the prefix " + prefix);
}

}  // namespace

std::string replaceExtension(std::string_view path, std::string_view extension) {
    const std::size_t nameStart = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    const bool hasDot = dot != std::string_view::npos && (nameStart == std::string_view::npos || dot > nameStart);
    std::string result(path.substr(0, hasDot ? dot : path.size()));
    result += extension;
    return result;
}

std::string makeTempFileName(TempFolder& folder, std::string_view extension) {
    return makeName(folder, "~~", extension);
}

std::string makePageTempFileName(TempFolder& folder, int page, std::string_view extension) {
    return makeName(folder, "~~" + std::to_string(page) + "-", extension);
}

}  // namespace orvix
