// The temporary folder on Windows: GetTempPathA and GetTempFileNameA.
#include <windows.h>

#include <string>

#include "encoding/temp_folder.h"
#include "errors.h"

namespace orvix {
namespace {

class Win32TempFolder final : public TempFolder {
public:
    std::string createUniqueFile(std::string_view prefix) override {
        char folder[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathA(sizeof folder, folder);
        if (length == 0 || length > MAX_PATH) throw Error("Cannot find the temporary folder");
        // The platform reads the prefix only up to three characters.
        const std::string head(prefix.substr(0, 3));
        char path[MAX_PATH + 1] = {};
        if (GetTempFileNameA(folder, head.c_str(), 0, path) == 0)
            throw Error("Cannot create a temporary file in " + std::string(folder) + " (error " +
                        std::to_string(GetLastError()) + ")");
        return path;
    }

    bool exists(const std::string& path) const override {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

}  // namespace

std::unique_ptr<TempFolder> systemTempFolder() { return std::make_unique<Win32TempFolder>(); }

}  // namespace orvix
