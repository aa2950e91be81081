#pragma once
// One program per data folder. The first start in a folder takes a lock that
// the system drops when the program ends, however it ends, and listens for
// requests of later starts: on Linux flock on a file in the user's runtime
// folder and a Unix socket beside it, watched by a QSocketNotifier (QtNetwork
// and the libraries it brings would cost more memory at start-up than all of
// the program's own code); on Windows a lock file open without sharing and
// deleted on close, and a named pipe served in the event loop. A later start
// in the same folder asks that program to come to the front and ends, so that
// two programs never write each other's files over. The folder is known by its
// real path: a start with --data-folder and one inside that folder are the
// same, other folders are independent. A program that cannot listen holds no
// lock, so that a later start is not taken for its second.

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>
#include <string_view>

namespace krvx {

class SingleProgram : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Alone, // the only program in this folder: it runs
        Unchecked, // no lock could be made (problem() says why): it runs alone anyway
        Answered, // another program runs here and came to the front: this one ends
        NoAnswer, // another program holds the folder but did not answer in time
    };

    // dataDir: the data folder; runtimeDir: where the lock (and on Linux the
    // socket) live, empty when the user has no usable runtime folder.
    SingleProgram(const std::filesystem::path& dataDir, const QString& runtimeDir);
    ~SingleProgram() override;
    SingleProgram(const SingleProgram&) = delete;
    SingleProgram& operator=(const SingleProgram&) = delete;

    // Takes the folder or asks the program that holds it, waiting at most
    // answerWithinMs for its answer.
    Start start(int answerWithinMs = 2000);

    // Why the folder could not be checked (Start::Unchecked).
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

    // The name the folder's lock and channel carry: the start of the SHA-256
    // of the folder's real path (links resolved, as far as it exists).
    static QString folderKey(const std::filesystem::path& dataDir);

    struct Platform; // the lock and the channel, as the system has them
    QString lockPath_;
    QString problem_;
    std::unique_ptr<Platform> platform_;
};

// The user's runtime folder: on Linux $XDG_RUNTIME_DIR when it is the user's
// own and no one else may write to it, else a private folder of the user's own
// in the temporary folder; on Windows the program's folder in the user's local
// application data. Empty when none can be used.
QString userRuntimeFolder();

} // namespace krvx
