#pragma once
// Drives the dialog the calling thread is about to show: a timer on the thread, which keeps
// firing inside the dialog's own modal loop, finds the new dialog window and presses its
// buttons or fills its file name box, as a person would.
#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvixhost {

struct MessageBoxCase {
    unsigned flags = 0;
    std::optional<int> answer;  // none: press the default button after the wait
};

struct FileDialogCase {
    // None: cancel after the wait. Empty: cancel at once. Otherwise full paths to choose.
    std::optional<std::vector<std::wstring>> paths;
};

class DialogSession {
public:
    explicit DialogSession(MessageBoxCase box);
    explicit DialogSession(FileDialogCase file);
    DialogSession(const DialogSession&) = delete;
    DialogSession& operator=(const DialogSession&) = delete;
    ~DialogSession();

    // How long a dialog nobody answered stays open.
    static void setUnansweredWait(unsigned ms);

private:
    DialogSession();
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD);
    void tick();
    void tickMessageBox(ULONGLONG now);
    void tickFileDialog(ULONGLONG now);
    HWND findNewDialog() const;
    int defaultButton() const;
    void press(int id) const;
    bool setFileName(const std::wstring& text) const;

    std::optional<MessageBoxCase> box_;
    std::optional<FileDialogCase> file_;
    std::set<HWND> before_;
    HWND dialog_ = nullptr;
    UINT_PTR timer_ = 0;
    ULONGLONG shownAt_ = 0;
    ULONGLONG actedAt_ = 0;
    int step_ = 0;
    bool busy_ = false;
};

} // namespace orvixhost
