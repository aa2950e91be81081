#pragma once
// A MessageService for tests: records every box and answers questions and
// input boxes from queues (Yes, for a retry box Cancel, and an empty text when a queue runs dry).

#include <deque>
#include <string>
#include <vector>

#include "common/messages.h"

namespace krvx::test {

class ScriptedMessages : public MessageService {
public:
    enum class Kind { Message, Question, Retry, Input };

    struct Box {
        Kind kind = Kind::Message;
        std::string text; // the message, question or prompt
        std::string title;
        MessageIcon icon = MessageIcon::None;
        std::string preset; // input boxes only
    };

    void message(std::string_view text, std::string_view title = kAppTitle,
                 MessageIcon icon = MessageIcon::None) override;
    Answer question(std::string_view text, std::string_view title) override;
    Answer retry(std::string_view text, std::string_view title) override;
    std::string input(std::string_view prompt, std::string_view title, std::string_view preset) override;

    std::deque<Answer> answers; // for question() and retry(), front first
    std::deque<std::string> inputs; // for input(), front first
    std::vector<Box> boxes; // every box in the order shown

    // The texts of all boxes in order, and those of the plain message boxes.
    std::vector<std::string> texts() const;
    std::vector<std::string> messageTexts() const;
    void clear();
};

} // namespace krvx::test
