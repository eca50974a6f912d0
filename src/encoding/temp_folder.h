#pragma once
// The platform's temporary folder, as the export pipeline needs it: a way to
// claim a new unique file there and to ask whether a name is taken.
#include <memory>
#include <string>
#include <string_view>

namespace orvix {

class TempFolder {
public:
    virtual ~TempFolder() = default;
    // Creates a new empty file named from the first three characters of
    // prefix, a hexadecimal number of up to four digits and ".TMP", in the
    // temporary folder, and returns its full path (GetTempFileNameA with
    // unique number 0). Throws Error when no such file can be made.
    virtual std::string createUniqueFile(std::string_view prefix) = 0;
    virtual bool exists(const std::string& path) const = 0;
};

// GetTempPathA's folder on Windows; elsewhere $TMPDIR, or /tmp.
std::unique_ptr<TempFolder> systemTempFolder();

}  // namespace orvix
