#pragma once
// The dialogs the probe opens, through the same ANSI and wide entry points a control uses.
#include <string>

namespace orvixhost::probe {

enum class Charset { Ansi, Wide };
enum class FileDialog { Open, Save };

int showBox(Charset charset, const std::wstring& text, const std::wstring& caption, unsigned flags);
// filter as "Images|*.png|All|*.*"; returns the chosen full paths joined by '|', or "" when cancelled.
std::wstring pickFile(FileDialog kind, Charset charset, const std::wstring& title, const std::wstring& filter,
                      unsigned flags);

} // namespace orvixhost::probe
