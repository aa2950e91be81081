#pragma once
// Message boxes and the input box behind one interface: the Qt implementation
// shows real boxes, tests answer from a script. Computations return the boxes
// they would show (Meldungen); their windows show them through it.

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace krvx {

inline constexpr std::string_view kAppTitle = "Korvax Rechner";

enum class MessageIcon { None, Error };
enum class Answer { Ok, Yes, No, Cancel, Retry };

// A box with an OK button and no icon, as a computation returns it for its
// window to show.
struct Meldung {
    std::string text;
    std::string title = std::string(kAppTitle);
    bool operator==(const Meldung&) const = default;
};
using Meldungen = std::vector<Meldung>;

class MessageService {
public:
    virtual ~MessageService() = default;
    // A box with an OK button.
    virtual void message(std::string_view text, std::string_view title = kAppTitle,
                         MessageIcon icon = MessageIcon::None) = 0;
    // A box with Yes, No and Cancel; returns the button pressed (closing the box is Cancel).
    virtual Answer question(std::string_view text, std::string_view title) = 0;
    // A box with Retry and Cancel after a step that failed; returns Retry or
    // Cancel (closing the box is Cancel).
    virtual Answer retry(std::string_view text, std::string_view title) = 0;
    // The input box: returns the typed text, empty on cancel.
    virtual std::string input(std::string_view prompt, std::string_view title, std::string_view preset) = 0;

    // Shows each box in order.
    void show(const Meldungen& meldungen) {
        for (const Meldung& m : meldungen) message(m.text, m.title, MessageIcon::None);
    }
};

// One message, once: within one user action (one event from the user, with
// every event it raises inside it) an identical message box is shown at most
// once. Window event handlers open a UserAction for the length of the handler;
// nested actions join the outermost one. Outside any action every box shows.
class OncePerActionMessages : public MessageService {
public:
    explicit OncePerActionMessages(MessageService& target) : target_(target) {}

    void message(std::string_view text, std::string_view title = kAppTitle,
                 MessageIcon icon = MessageIcon::None) override;
    Answer question(std::string_view text, std::string_view title) override;
    Answer retry(std::string_view text, std::string_view title) override;
    std::string input(std::string_view prompt, std::string_view title, std::string_view preset) override;

    void beginAction();
    void endAction();

    // While the session ends nobody is there to answer a box: from then on no
    // box is shown, a question is answered No (nothing the user has not
    // confirmed is saved), nothing failed is tried again, an input box counts
    // as cancelled, and the text of a message goes to note instead.
    void answerUnattended(std::function<void(std::string_view title, std::string_view text)> note);
    bool unattended() const { return static_cast<bool>(note_); }

private:
    MessageService& target_;
    std::function<void(std::string_view, std::string_view)> note_;
    int depth_ = 0;
    std::set<std::tuple<std::string, std::string, int>> shown_;
};

class UserAction {
public:
    explicit UserAction(OncePerActionMessages& messages) : messages_(messages) { messages_.beginAction(); }
    ~UserAction() { messages_.endAction(); }
    UserAction(const UserAction&) = delete;
    UserAction& operator=(const UserAction&) = delete;

private:
    OncePerActionMessages& messages_;
};

} // namespace krvx
