#pragma once
// Answers queued by the script for the next message boxes and file dialogs, in order.
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvixhost {

class DialogAnswers {
public:
    // One queue for the process: dialogs may open on any thread.
    static DialogAnswers& instance();

    void queueMessageBox(int buttonId);
    std::optional<int> takeMessageBox();
    // "C:\\a.png|C:\\b.jpg"; an empty text cancels the dialog.
    void queueFileDialog(std::wstring names);
    std::optional<std::wstring> takeFileDialog();
    // Answers nobody used, one description each.
    std::vector<std::wstring> leftovers();

private:
    std::mutex lock_;
    std::deque<int> boxes_;
    std::deque<std::wstring> files_;
};

} // namespace orvixhost
