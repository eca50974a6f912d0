#include "dialog_answers.h"

#include "text.h"

namespace orvixhost {

DialogAnswers& DialogAnswers::instance() {
    static DialogAnswers answers;
    return answers;
}

void DialogAnswers::queueMessageBox(int buttonId) {
    const std::scoped_lock guard(lock_);
    boxes_.push_back(buttonId);
}

std::optional<int> DialogAnswers::takeMessageBox() {
    const std::scoped_lock guard(lock_);
    if (boxes_.empty()) return std::nullopt;
    const int id = boxes_.front();
    boxes_.pop_front();
    return id;
}

void DialogAnswers::queueFileDialog(std::wstring names) {
    const std::scoped_lock guard(lock_);
    files_.push_back(std::move(names));
}

std::optional<std::wstring> DialogAnswers::takeFileDialog() {
    const std::scoped_lock guard(lock_);
    if (files_.empty()) return std::nullopt;
    std::wstring names = std::move(files_.front());
    files_.pop_front();
    return names;
}

std::vector<std::wstring> DialogAnswers::leftovers() {
    const std::scoped_lock guard(lock_);
    std::vector<std::wstring> out;
    for (int id : boxes_) out.push_back(L"msgbox answer=" + std::to_wstring(id));
    for (const auto& names : files_) out.push_back(L"file-dialog answer=" + quoted(names));
    boxes_.clear();
    files_.clear();
    return out;
}

} // namespace orvixhost
