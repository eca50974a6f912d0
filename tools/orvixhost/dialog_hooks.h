#pragma once
// While alive, every message box and file dialog the process opens through user32's
// MessageBox functions or comdlg32's Get(Open|Save)FileName is recorded on stdout, one line
// each with the answer it got, and answered from DialogAnswers (or given its default).
#include <string>
#include <vector>

namespace orvixhost {

class DialogHooks {
public:
    DialogHooks();
    DialogHooks(const DialogHooks&) = delete;
    DialogHooks& operator=(const DialogHooks&) = delete;
    ~DialogHooks();

    // Entry points that could not be patched.
    std::vector<std::wstring> missing() const;
};

} // namespace orvixhost
