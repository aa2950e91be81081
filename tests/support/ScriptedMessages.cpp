#include "support/ScriptedMessages.h"

namespace krvx::test {

void ScriptedMessages::message(std::string_view text, std::string_view title, MessageIcon icon) {
    boxes.push_back({Kind::Message, std::string(text), std::string(title), icon, {}});
}

Answer ScriptedMessages::question(std::string_view text, std::string_view title) {
    boxes.push_back({Kind::Question, std::string(text), std::string(title), MessageIcon::None, {}});
    if (answers.empty()) return Answer::Yes;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

Answer ScriptedMessages::retry(std::string_view text, std::string_view title) {
    if (answers.empty()) answers.push_back(Answer::Cancel); // a step that keeps failing is not tried for ever
    const Answer answer = question(text, title);
    boxes.back().kind = Kind::Retry;
    return answer;
}

std::string ScriptedMessages::input(std::string_view prompt, std::string_view title, std::string_view preset) {
    boxes.push_back({Kind::Input, std::string(prompt), std::string(title), MessageIcon::None, std::string(preset)});
    if (inputs.empty()) return {};
    std::string typed = std::move(inputs.front());
    inputs.pop_front();
    return typed;
}

std::vector<std::string> ScriptedMessages::texts() const {
    std::vector<std::string> out;
    for (const Box& box : boxes) out.push_back(box.text);
    return out;
}

std::vector<std::string> ScriptedMessages::messageTexts() const {
    std::vector<std::string> out;
    for (const Box& box : boxes) {
        if (box.kind == Kind::Message) out.push_back(box.text);
    }
    return out;
}

void ScriptedMessages::clear() {
    boxes.clear();
    answers.clear();
    inputs.clear();
}

} // namespace krvx::test
