#pragma once
// Reads a script file as UTF-8 (with or without a byte order mark).
#include <optional>
#include <string>

namespace orvixhost {

// The file's text, or nothing with `why` set.
std::optional<std::wstring> readScriptFile(const std::wstring& path, std::wstring& why);

} // namespace orvixhost
