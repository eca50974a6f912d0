#pragma once
// The file filter of both save dialogs.
#include <span>
#include <string>

#include "ui/open_filter.h"

namespace orvix {

std::span<const FileFilterEntry> saveImageFilterEntries();
std::string saveImageFilter();

}  // namespace orvix
