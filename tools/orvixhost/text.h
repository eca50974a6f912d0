#pragma once
// Conversions between UTF-16, UTF-8 and ANSI code pages, and quoting for recorded lines.
#include <string>
#include <string_view>

namespace orvixhost {

std::wstring fromCodePage(std::string_view bytes, unsigned codePage);
std::string toUtf8(std::wstring_view text);
// "text" with quotes, newlines and tabs escaped so a record stays on one line.
std::wstring quoted(std::wstring_view text);
std::wstring hex32(unsigned long value);

} // namespace orvixhost
