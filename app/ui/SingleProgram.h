#pragma once
// One program per data folder. The first start in a folder takes a lock on a
// hidden file in the folder itself, which the system drops when the program
// ends, however it ends: every program that would write the folder's files
// sees it, whatever path, runtime folder or user it came by. On Linux it is
// flock on ".korvax-rechner.lock" (removed again as the program ends); on
// Windows the same file held open without sharing, hidden and deleted on
// close. The holder also listens for later starts, on a channel named after
// the folder's identity (device and inode; volume serial and file ID), not
// after the spelling of its path: on Linux a Unix socket in the user's runtime
// folder, watched by a QSocketNotifier (QtNetwork and the libraries it brings
// would cost more memory at start-up than all of the program's own code); on
// Windows a named pipe of the user's own, served in the event loop. A later
// start in the same folder asks that program to come to the front and ends, so
// that two programs never write each other's files over.

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>
#include <string_view>

namespace krvx {

// The lock file in the data folder; no data file.
inline constexpr std::string_view kLockFile = ".korvax-rechner.lock";

class SingleProgram : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Alone, // the only program in this folder: it runs (problem() says when later starts cannot reach it)
        Unchecked, // the folder takes no lock (problem() says why): it runs unguarded
        Answered, // another program runs here and came to the front: this one ends
        NoAnswer, // another program holds the folder but did not answer in time
        Elsewhere, // a program that cannot be reached from here holds the folder (another user or computer)
    };

    // dataDir: the data folder; runtimeDir: where this program's socket lives
    // (Linux), empty when the user has no usable runtime folder.
    SingleProgram(const std::filesystem::path& dataDir, const QString& runtimeDir);
    ~SingleProgram() override;
    SingleProgram(const SingleProgram&) = delete;
    SingleProgram& operator=(const SingleProgram&) = delete;

    // Takes the folder or asks the program that holds it, waiting at most
    // answerWithinMs for its answer.
    Start start(int answerWithinMs = 2000);

    // Why the folder takes no lock (Start::Unchecked), or why later starts
    // cannot reach this program (Start::Alone); empty when all is well.
    QString problem() const { return problem_; }

    // The lock file, held by the program that runs in this folder.
    QString lockFile() const { return lockPath_; }

signals:
    // Another start in this folder asks this program to come to the front.
    void frontWanted();

private:
    // What a later start sends, and what the running program answers once it
    // has come to the front.
    static constexpr std::string_view kFrontWanted = "nach-vorn\n";
    static constexpr std::string_view kDone = "ok\n";
    // However many connect at once, a handful are served at a time, each for
    // at most the time a second start waits for its answer; the others wait.
    static constexpr int kServedAtOnce = 4;
    static constexpr int kServeMs = 2000;

    struct Platform; // the lock and the channel, as the system has them
    QString lockPath_;
    QString problem_;
    std::unique_ptr<Platform> platform_;
};

// The user's runtime folder: on Linux $XDG_RUNTIME_DIR when it is the user's
// own and no one else may write to it, else a private folder of the user's own
// in the temporary folder. Empty when none can be used, and on Windows, whose
// pipes need none.
QString userRuntimeFolder();

} // namespace krvx
