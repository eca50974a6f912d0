#pragma once
// How objects look in the file: numbers, escaped names and strings, arrays,
// dictionaries and streams, written straight into a sink.
#include <string>
#include <string_view>

#include "encoding/byte_sink.h"
#include "encoding/pdf/pdf_object.h"

namespace orvix::pdf {

// Up to 15 significant digits, '.' whatever the locale; whole numbers as
// plain integers.
std::string formatNumber(double value);
// "/" plus the text with bytes outside '!'..'~' as #XX.
std::string formatName(std::string_view text);
// "(" ... ")" with the control bytes, parentheses and backslash escaped.
std::string formatString(std::string_view bytes);

void writeText(ByteSink& out, std::string_view text);
void writeObject(const Object& object, ByteSink& out);

}  // namespace orvix::pdf
