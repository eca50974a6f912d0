#pragma once
// Identical camera models share one friendly name; a camera is chosen by that
// name and by which of the devices carrying it (its instance) is meant.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orvix {

// The position in `names` (the devices as enumerated now, in order) of the
// instance-th device (from 0) named `name`; nullopt when there is none.
std::optional<std::size_t> deviceForInstance(const std::vector<std::string>& names, const std::string& name,
                                             int instance);

}  // namespace orvix
