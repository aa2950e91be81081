#pragma once
// The real message boxes and input box (the only code that calls exec()).

#include "common/messages.h"

namespace krvx {

class QtMessageService : public MessageService {
public:
    void message(std::string_view text, std::string_view title = kAppTitle,
                 MessageIcon icon = MessageIcon::None) override;
    Answer question(std::string_view text, std::string_view title) override;
    Answer retry(std::string_view text, std::string_view title) override;
    std::string input(std::string_view prompt, std::string_view title, std::string_view preset) override;
};

} // namespace krvx
