#pragma once
// What the frame needs from the desktop: message boxes and file dialogs.
// Windows shows real ones; tests script the answers.
#include <optional>
#include <string>
#include <vector>

namespace orvix {

// Message box flags and results, with the values Windows uses.
namespace mb {
inline constexpr unsigned kOk = 0x0;
inline constexpr unsigned kYesNo = 0x4;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kDefButton2 = 0x100;
// A notice: OK button, information icon (64).
inline constexpr unsigned kNotice = kOk | kIconInformation;
// The delete confirmation: Yes/No, question icon, No as default (292).
inline constexpr unsigned kConfirm = kYesNo | kIconQuestion | kDefButton2;
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

struct OpenFilesRequest {
    std::string filter;  // "description|pattern|description|pattern..."
    int filterIndex = 1;  // 1-based, as the common dialog counts
    bool multiSelect = true;
    bool mustExist = true;
    bool hideReadOnly = true;
};

struct SaveFileRequest {
    std::string filter;  // "description|pattern|description|pattern..."
    int filterIndex = 1;  // 1-based; 0 takes the first entry too
    std::string defaultExtension;  // without the dot, e.g. "tiff"
};

class Shell {
public:
    virtual ~Shell() = default;
    // Texts are 8-bit strings in the control's code page.
    virtual int messageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // The chosen files in the order the dialog lists them; nullopt when cancelled.
    virtual std::optional<std::vector<std::string>> openFiles(const OpenFilesRequest& request) = 0;
    // The chosen file name; nullopt when cancelled.
    virtual std::optional<std::string> saveFile(const SaveFileRequest& request) = 0;
};

}  // namespace orvix
