#pragma once
// The host's only way to stdout: whole UTF-8 lines, written and flushed at once so that
// script output and dialog records keep their order.
#include <string_view>

namespace orvixhost {

void printLine(std::wstring_view line);

} // namespace orvixhost
