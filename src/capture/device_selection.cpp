#include "capture/device_selection.h"

namespace orvix {

std::optional<std::size_t> deviceForInstance(const std::vector<std::string>& names, const std::string& name,
                                             int instance) {
    int seen = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name && seen++ == instance) return i;
    }
    return std::nullopt;
}

}  // namespace orvix
