#include "common/messages.h"

#include <gtest/gtest.h>

#include "support/ScriptedMessages.h"

namespace krvx {
namespace {

using test::ScriptedMessages;

TEST(OncePerActionMessages, AnIdenticalBoxShowsOncePerAction) {
    ScriptedMessages boxes;
    OncePerActionMessages messages(boxes);
    {
        UserAction action(messages);
        messages.message("Fehler beim Laden von kurse.dat");
        messages.message("Fehler beim Laden von kurse.dat");
        messages.message("Fehler beim Laden von creditkurse.dat");
        messages.message("Fehler beim Laden von kurse.dat", "Fehler!"); // other title
        messages.message("Fehler beim Laden von kurse.dat", kAppTitle, MessageIcon::Error); // other icon
        {
            UserAction nested(messages); // joins the outer action
            messages.message("Fehler beim Laden von kurse.dat");
        }
        messages.message("Fehler beim Laden von creditkurse.dat");
    }
    ASSERT_EQ(boxes.boxes.size(), 4u);
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{"Fehler beim Laden von kurse.dat", "Fehler beim Laden von creditkurse.dat",
                                        "Fehler beim Laden von kurse.dat", "Fehler beim Laden von kurse.dat"}));
    EXPECT_EQ(boxes.boxes[2].title, "Fehler!");
    EXPECT_EQ(boxes.boxes[3].icon, MessageIcon::Error);

    // The next action shows the box again.
    {
        UserAction action(messages);
        messages.message("Fehler beim Laden von kurse.dat");
    }
    EXPECT_EQ(boxes.boxes.size(), 5u);
}

TEST(OncePerActionMessages, OutsideAnActionEveryBoxShows) {
    ScriptedMessages boxes;
    OncePerActionMessages messages(boxes);
    messages.message("x");
    messages.message("x");
    { UserAction action(messages); }
    messages.message("x");
    EXPECT_EQ(boxes.boxes.size(), 3u);
}

TEST(OncePerActionMessages, QuestionsAndInputsAreNeverSkipped) {
    ScriptedMessages boxes;
    boxes.answers = {Answer::No, Answer::Cancel};
    boxes.inputs = {"Jäger"};
    OncePerActionMessages messages(boxes);
    UserAction action(messages);
    EXPECT_EQ(messages.question("Speichern?", "Frage"), Answer::No);
    EXPECT_EQ(messages.question("Speichern?", "Frage"), Answer::Cancel);
    EXPECT_EQ(messages.question("Speichern?", "Frage"), Answer::Yes); // queue empty
    EXPECT_EQ(messages.input("Name:", "Neues Schiff", "vorher"), "Jäger");
    EXPECT_EQ(messages.input("Name:", "Neues Schiff", "vorher"), "");
    ASSERT_EQ(boxes.boxes.size(), 5u);
    EXPECT_EQ(boxes.boxes[0].kind, ScriptedMessages::Kind::Question);
    EXPECT_EQ(boxes.boxes[0].title, "Frage");
    EXPECT_EQ(boxes.boxes[3].kind, ScriptedMessages::Kind::Input);
    EXPECT_EQ(boxes.boxes[3].preset, "vorher");
    EXPECT_TRUE(boxes.messageTexts().empty());
}

} // namespace
} // namespace krvx
