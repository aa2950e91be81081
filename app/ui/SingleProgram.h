#pragma once
// One program per data folder. The first start in a folder takes a lock
// (flock on a file in the user's runtime folder, which the kernel drops when
// the program ends, however it ends) and listens on a local socket
// beside it (a Unix socket watched by a QSocketNotifier: QtNetwork and the
// libraries it brings would cost more memory at start-up than all of the
// program's own code); a later
// start in the same folder asks that program to come to the front and ends,
// so that two programs never write each other's files over. The folder is
// known by its real path: a start with --data-folder and one inside that
// folder are the same, other folders are independent. A program that cannot
// listen holds no lock, so that a later start is not taken for its second.

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <filesystem>

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

    // dataDir: the data folder; runtimeDir: where lock and socket live, empty
    // when the user has no usable runtime folder.
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
    // Locks the lock file (opened when it is not); false while another
    // program holds it.
    bool tryLock();
    Start holdFolder();
    bool listen();
    Start askRunning(int answerWithinMs);
    void answer();
    void readRequest(int connection, QSocketNotifier* notifier);
    void hangUp(int connection, QSocketNotifier* notifier);

    QString lockPath_;
    QString socketPath_;
    QString problem_;
    int lock_ = -1; // the lock file, locked while this program holds the folder
    int listening_ = -1; // the socket's file descriptor while this program holds the folder
    int served_ = 0; // connections open now
    QSocketNotifier* incoming_ = nullptr;
};

// The user's runtime folder: $XDG_RUNTIME_DIR when it is the user's own and no
// one else may write to it, else a private folder of the user's own in the
// temporary folder. Empty when neither can be used.
QString userRuntimeFolder();

} // namespace krvx
