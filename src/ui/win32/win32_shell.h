#pragma once
// Real message boxes and common file dialogs.
#include "ui/shell.h"

namespace orvix {

class Win32Shell final : public Shell {
public:
    int messageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    std::optional<std::vector<std::string>> openFiles(const OpenFilesRequest& request) override;
    std::optional<std::string> saveFile(const SaveFileRequest& request) override;
};

}  // namespace orvix
