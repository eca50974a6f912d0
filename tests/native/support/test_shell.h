#pragma once
// A scripted desktop: records what the frame asks and answers from queues.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/shell.h"

namespace orvix::test {

struct MessageBoxCall {
    std::string text;
    std::string caption;
    unsigned flags = 0;
    friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

class TestShell : public Shell {
public:
    std::vector<MessageBoxCall> messageBoxes;
    std::deque<int> answers;
    int defaultAnswer = mb::kIdOk;
    // Runs while a box is "open", as other messages may on Windows.
    std::function<void()> whileMessageBoxOpen;

    std::vector<OpenFilesRequest> openFilesRequests;
    // nullopt answers Cancel; an empty queue cancels too.
    std::deque<std::optional<std::vector<std::string>>> openFilesAnswers;

    std::vector<SaveFileRequest> saveFileRequests;
    // nullopt answers Cancel; an empty queue cancels too.
    std::deque<std::optional<std::string>> saveFileAnswers;

    int messageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        messageBoxes.push_back({text, caption, flags});
        if (whileMessageBoxOpen) whileMessageBoxOpen();
        if (answers.empty()) return defaultAnswer;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<std::vector<std::string>> openFiles(const OpenFilesRequest& request) override {
        openFilesRequests.push_back(request);
        if (openFilesAnswers.empty()) return std::nullopt;
        auto answer = std::move(openFilesAnswers.front());
        openFilesAnswers.pop_front();
        return answer;
    }

    std::optional<std::string> saveFile(const SaveFileRequest& request) override {
        saveFileRequests.push_back(request);
        if (saveFileAnswers.empty()) return std::nullopt;
        auto answer = std::move(saveFileAnswers.front());
        saveFileAnswers.pop_front();
        return answer;
    }
};

}  // namespace orvix::test
