#pragma once
// The temporary folder outside Windows, named the way GetTempFileNameA names
// its files so that both platforms produce the same kind of names.
#include <string>
#include <string_view>

#include "encoding/temp_folder.h"

namespace orvix {

class PosixTempFolder final : public TempFolder {
public:
    // dir gets a trailing "/" when it lacks one.
    explicit PosixTempFolder(std::string dir);

    const std::string& path() const { return dir_; }
    std::string createUniqueFile(std::string_view prefix) override;
    bool exists(const std::string& path) const override;

private:
    std::string dir_;
    unsigned last_ = 0;
};

}  // namespace orvix
