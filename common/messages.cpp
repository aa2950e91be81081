#include "common/messages.h"

#include <utility>

namespace krvx {

void OncePerActionMessages::message(std::string_view text, std::string_view title, MessageIcon icon) {
    if (note_) {
        note_(title, text);
        return;
    }
    if (depth_ > 0) {
        auto key = std::make_tuple(std::string(text), std::string(title), static_cast<int>(icon));
        if (!shown_.insert(std::move(key)).second) return;
    }
    target_.message(text, title, icon);
}

Answer OncePerActionMessages::question(std::string_view text, std::string_view title) {
    if (note_) return Answer::No;
    return target_.question(text, title);
}

Answer OncePerActionMessages::retry(std::string_view text, std::string_view title) {
    if (note_) return Answer::Cancel;
    return target_.retry(text, title);
}

std::string OncePerActionMessages::input(std::string_view prompt, std::string_view title, std::string_view preset) {
    if (note_) return {};
    return target_.input(prompt, title, preset);
}

void OncePerActionMessages::answerUnattended(std::function<void(std::string_view, std::string_view)> note) {
    note_ = std::move(note);
}

void OncePerActionMessages::beginAction() {
    ++depth_;
}

void OncePerActionMessages::endAction() {
    if (depth_ > 0 && --depth_ == 0) shown_.clear();
}

} // namespace krvx
