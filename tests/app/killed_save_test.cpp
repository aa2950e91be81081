// Saves killed at random moments: the data file is always the old or the new
// one, whole, and whatever a killed save left behind is gone once the program
// has started again.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "app/DataFolder.h"
#include "common/textfile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace krvx {
namespace {

namespace fs = std::filesystem;

std::string planets(char mark, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "Planet " + std::string(1, mark) + std::to_string(i) + "\r\n 1 \r\n 2 \r\n 3 \r\n";
    return text;
}

int leftOver(const fs::path& folder) {
    int count = 0;
    for (const std::string& name : test::folderEntries(folder)) count += name.starts_with(".") ? 1 : 0;
    return count;
}

TEST(KilledSave, LeavesTheOldOrTheNewFileWholeAndNothingOnceTheProgramStartsAgain) {
    test::TempDir dir;
    const fs::path file = dir.file("planeten.dat");
    const std::string before = planets('A', 12000);  // about 300 KB each
    const std::string after = planets('B', 15000);
    test::writeBytes(file, before);

    std::mt19937 random(20261207);
    constexpr int kKills = 50;
    int olds = 0, news = 0, leftBehind = 0, copiesWhole = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            // The saves of a long session: the list changes and is saved, a
            // copy of it is kept now and then, and it changes back.
            for (;;) {
                saveDataFile(file, after);
                if (const BackupCopy copy = keepBackupCopy(file); copy.path) fs::remove(*copy.path);
                saveDataFile(file, before);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(500, 60000)(random)));
        ::kill(saver, SIGKILL);
        int status = 0;
        ::waitpid(saver, &status, 0);

        const std::string now = test::readBytes(file);
        ASSERT_TRUE(now == before || now == after) << "kill " << kill << ": a file of " << now.size() << " bytes";
        (now == before ? olds : news) += 1;
        for (const std::string& name : test::folderEntries(dir.path())) {
            if (name.find(".bak") == std::string::npos) continue;
            const std::string copy = test::readBytes(dir.file(name));
            EXPECT_TRUE(copy == before || copy == after) << "kill " << kill << ": " << name << " is not whole";
            copiesWhole += 1;
            fs::remove(dir.file(name));
        }
        leftBehind += leftOver(dir.path());

        tidyDataFolder(dir.path());  // the next start
        EXPECT_EQ(leftOver(dir.path()), 0) << "kill " << kill;
    }
    std::cout << "[ figures  ] " << kKills << " saves killed: " << olds << " left the old file, " << news
              << " the new one, all whole; " << copiesWhole << " kept copies whole; " << leftBehind
              << " temporary files left behind, all removed at the next start\n";
}

} // namespace
} // namespace krvx
