#pragma once
// Names for documents written to the temporary folder before an upload:
// "~~", a hexadecimal number and the caller's extension. The names are free
// when returned; the ".TMP" placeholder the platform made for them stays.
#include <string>
#include <string_view>

#include "encoding/temp_folder.h"

namespace orvix {

// extension includes its dot, e.g. ".tiff".
std::string makeTempFileName(TempFolder& folder, std::string_view extension);
// As above with the prefix "~~" + page + "-", of which the platform keeps
// "~~" and the first character of the page number.
std::string makePageTempFileName(TempFolder& folder, int page, std::string_view extension);

// The path with its extension (from the last "." of the file name) replaced;
// a name without one gets the extension appended.
std::string replaceExtension(std::string_view path, std::string_view extension);

}  // namespace orvix
