#include "app/commandline.h"

#include "app/projectversion.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "support/Files.h"
#include "support/ScriptedMessages.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;
using Action = CommandLine::Action;

TEST(CommandLine, ReadsTheArguments) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        bool dataFolder;
        const char* error;
    };
    const Case cases[] = {
        {{}, Action::Run, false, ""},
        {{"--data-folder"}, Action::Run, true, ""},
        {{"--help"}, Action::Help, false, ""},
        {{"--version", "--bogus"}, Action::Version, false, ""},
        {{"--data-folder", "--help"}, Action::Help, true, ""},
        {{"--bogus", "--help"}, Action::Fail, false, "unbekannte Option „--bogus“"},
        {{"-h"}, Action::Fail, false, "unbekannte Option „-h“"},
        {{"-data-folder"}, Action::Fail, false, "unbekannte Option „-data-folder“"},
        {{"--data-folder=/tmp"}, Action::Run, true, ""},
        {{"--data-folder="}, Action::Fail, false, "die Option „--data-folder=“ verlangt einen Ordner"},
        {{"--data-folder", "alt", "neu"}, Action::Fail, false, "überzähliges Argument „neu“"},
        {{"--data-folder", "-platform", "xcb"}, Action::Run, true, ""},
        {{"--version=2"}, Action::Fail, false, "die Option „--version“ erlaubt kein Argument"},
        {{"daten"}, Action::Fail, false, "überzähliges Argument „daten“"},
        {{"-"}, Action::Fail, false, "überzähliges Argument „-“"},
        {{"--", "--help"}, Action::Fail, false, "überzähliges Argument „--help“"},
        {{"--"}, Action::Run, false, ""},
        // Qt's own options, with their values, go on to Qt.
        {{"-platform", "offscreen", "--data-folder"}, Action::Run, true, ""},
        {{"--style", "--help"}, Action::Run, false, ""},
        {{"-style=fusion", "-reverse", "--display", ":1"}, Action::Run, false, ""},
        {{"--platform"}, Action::Fail, false, "die Option „--platform“ verlangt ein Argument"},
        {{"-reverse=1"}, Action::Fail, false, "unbekannte Option „-reverse=1“"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        const std::string where = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(line.action, c.action) << where;
        EXPECT_EQ(line.dataFolder, c.dataFolder) << where;
        EXPECT_EQ(line.error, c.error) << where;
    }
}

struct Answer {
    std::optional<int> status;
    std::string out;
    std::string err;
    std::string boxed; // the boxes' texts, as lines on the terminal
};

Answer start(const std::vector<std::string>& args, const fs::path& executable = "/nowhere/bin/korvax-rechner") {
    std::ostringstream out;
    std::ostringstream err;
    test::ScriptedMessages boxes;
    Answer answer;
    answer.status = prepareStart(args, executable, out, err, boxes);
    answer.out = out.str();
    answer.err = err.str();
    for (const std::string& text : boxes.messageTexts()) answer.boxed += "korvax-rechner: " + text + "\n";
    return answer;
}

TEST(CommandLine, AnswersOnTheTerminal) {
    const Answer help = start({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, helpText());
    EXPECT_EQ(help.out.rfind("Aufruf: korvax-rechner [OPTION]...\n", 0), 0u);
    for (const char* option : {"--data-folder", "--help", "--version"}) {
        EXPECT_NE(help.out.find("\n      " + std::string(option) + " "), std::string::npos) << option;
    }
    EXPECT_EQ(help.err, "");

    const Answer version = start({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.substr(0, version.out.find('\n')), "korvax-rechner " KRVX_VERSION);
    EXPECT_NE(version.out.find("GPLv3+"), std::string::npos);
    EXPECT_EQ(version.err, "");

    const Answer wrong = start({"--x"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err,
              "korvax-rechner: unbekannte Option „--x“\n"
              "„korvax-rechner --help“ zeigt, welche Optionen es gibt.\n");

    const Answer plain = start({});
    EXPECT_EQ(plain.status, std::nullopt);
    EXPECT_EQ(plain.out + plain.err, "");
}

// Sets an environment variable for one test and restores it afterwards.
class Environment {
public:
    Environment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~Environment() { saved_ ? ::setenv(name_, saved_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(CommandLine, DataFolderIsSeededFromBesideTheProgramAndEntered) {
    // Where the program works; a folder that held planeten.dat gets no example file.
    const std::tuple<std::vector<std::string>, const char*, const char*> cases[] = {
        {{"--data-folder"}, ".", "data/korvax-rechner"},
        {{"--data-folder", "neu/Größe €"}, ".", "neu/Größe €"},
        {{"--data-folder=alt"}, ".", "alt"},
        {{}, "usr/bin", "data/korvax-rechner"}, // an installed program in its own folder
    };
    for (const auto& [args, startedIn, worksIn] : cases) {
        SCOPED_TRACE(worksIn);
        test::TempDir temp;
        const fs::path prefix = temp.path() / "usr";
        fs::create_directories(prefix / "bin");
        fs::create_directories(prefix / "share/korvax-rechner/seed");
        test::writeBytes(prefix / "share/korvax-rechner/seed/schiffe.dat", "\"Frachter\"\r\n1,2,3,4,5\r\n7\r\n9\r\n");
        fs::create_directories(temp.path() / "alt");
        test::writeBytes(temp.path() / "alt/planeten.dat", "\"Alt\"\r\n1\r\n2\r\n3\r\n");
        const Environment xdg("XDG_DATA_HOME", (temp.path() / "data").c_str());
        test::WorkingDirectory keep(temp.path() / startedIn);

        const Answer answer = start(args, prefix / "bin/korvax-rechner");
        EXPECT_EQ(answer.status, std::nullopt);
        EXPECT_EQ(answer.out + answer.err, "");
        EXPECT_EQ(fs::current_path(), temp.path() / worksIn);
        EXPECT_EQ(fs::exists("schiffe.dat"), !fs::exists("planeten.dat"));
    }
}

// While it lives, this thread does without the superuser's right to pass by
// permissions, so that it cannot enter a folder without search permission.
struct WithoutPermissionOverride {
    WithoutPermissionOverride() {
        ::syscall(SYS_capget, &header, saved);
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &header, reduced);
    }
    ~WithoutPermissionOverride() { ::syscall(SYS_capset, &header, saved); }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
};

TEST(CommandLine, DataFolderThatCannotBeMadeOrEnteredEndsTheStart) {
    struct Case {
        const char* what;
        void (*prepare)(const fs::path& data);
        const char* cannot;
    };
    const Case cases[] = {
        {"a file where the folder should be made",
         [](const fs::path& data) { test::writeBytes(data, "a file, not a folder"); }, "anlegen"},
        {"a folder without search permission",
         [](const fs::path& data) {
             fs::create_directories(data / "korvax-rechner");
             fs::permissions(data / "korvax-rechner", fs::perms::owner_read | fs::perms::owner_write);
         },
         "öffnen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir temp;
        c.prepare(temp.file("data"));
        const Environment xdg("XDG_DATA_HOME", temp.file("data").c_str());
        test::WorkingDirectory keep(temp.path());

        const Answer answer = [] {
            WithoutPermissionOverride asAnyUser;
            return start({"--data-folder"});
        }();
        EXPECT_EQ(answer.status, 1);
        EXPECT_EQ(answer.err.rfind("korvax-rechner: Der Datenordner „" + temp.file("data").string() +
                                       "/korvax-rechner“ lässt sich nicht " + c.cannot + ": ",
                                   0),
                  0u)
            << answer.err;
        EXPECT_EQ(answer.boxed, answer.err);
        EXPECT_EQ(fs::current_path(), temp.path());
    }
}

TEST(CommandLine, WorkingDirectoryDeeperThanPathMaxEndsTheStart) {
    test::TempDir temp;
    test::WorkingDirectory keep(temp.path());
    for (const std::string step(NAME_MAX, 'd'); fs::current_path().native().size() < PATH_MAX; fs::current_path(step))
        fs::create_directory(step);
    const Answer answer = start({});
    EXPECT_EQ(answer.status, 1);
    EXPECT_EQ(answer.err, "korvax-rechner: Das aktuelle Verzeichnis ist nicht erreichbar: File name too long\n");
    EXPECT_EQ(answer.boxed, answer.err);
}

} // namespace
} // namespace krvx
