#pragma once
// The file filter of the dialog that opens local images as pages.
#include <span>
#include <string>
#include <string_view>

namespace orvix {

struct FileFilterEntry {
    std::string_view description;  // GBK
    std::string_view patterns;     // "*.a;*.b"
};

std::span<const FileFilterEntry> openImageFilterEntries();
// "description|patterns|description|patterns...", as the common dialog takes it.
std::string joinFileFilter(std::span<const FileFilterEntry> entries);
std::string openImageFilter();

}  // namespace orvix
