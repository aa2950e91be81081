// Saves killed at random moments: the file is always the old or the new one,
// whole, and what a killed save left behind is gone once the program starts.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <random>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "app/datafolder.h"
#include "common/textfile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

std::string planets(char mark, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += mark + std::to_string(i) + "\r\n 1 \r\n 2 \r\n 3 \r\n";
    return text;
}

TEST(KilledSave, LeavesAWholeFileAndNothingOnceTheProgramStartsAgain) {
    test::TempDir dir;
    const std::filesystem::path file = dir.file("planeten.dat");
    const std::string one = planets('A', 15000), two = planets('B', 18000); // about 300 KB each
    test::writeBytes(file, one);
    std::mt19937 random(20261207);
    int ones = 0, copies = 0, leftBehind = 0;
    for (int kill = 0; kill < 50; ++kill) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        while (saver == 0) { // a session's saves, with a copy kept now and then
            saveDataFile(file, two);
            if (const BackupCopy copy = keepBackupCopy(file); copy.path) std::filesystem::remove(*copy.path);
            saveDataFile(file, one);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution(500, 60000)(random)));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);

        const std::string now = test::readBytes(file);
        ASSERT_TRUE(now == one || now == two) << "kill " << kill << ": " << now.size() << " bytes";
        ones += now == one ? 1 : 0;
        for (const std::string& name : test::folderEntries(dir.path())) {
            if (name.find(".bak") != std::string::npos) {
                EXPECT_TRUE(test::readBytes(dir.file(name)) == one || test::readBytes(dir.file(name)) == two);
                std::filesystem::remove(dir.file(name));
                ++copies;
            }
            leftBehind += name.starts_with(".") ? 1 : 0;
        }
        tidyDataFolder(dir.path()); // the next start
        EXPECT_EQ(test::folderEntries(dir.path()), std::vector<std::string>{"planeten.dat"}) << "kill " << kill;
    }
    std::cout << "[ figures  ] 50 saves killed: the file whole every time (" << ones << " times the first list, "
              << 50 - ones << " the second), " << copies << " kept copies whole, " << leftBehind
              << " temporary files left behind, all removed at the next start\n";
}

} // namespace
} // namespace krvx
