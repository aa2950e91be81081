// One program per data folder on Linux: flock on a lock file in the user's
// runtime folder, and a Unix socket beside it for the request to come to the
// front.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/ui/SingleProgram.h"

namespace krvx {

namespace {

// No descriptor left (the file limit): accepting pauses for a moment.
constexpr int kPauseMs = 200;

// A folder of ours (not a link) that no one else may write to: in any other,
// a lock and a socket of someone else's could pass for a program of ours.
bool isOwnFolder(const QString& path) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    return ::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 022) == 0;
}

// The socket's address, or false when the path is too long for one.
bool addressOf(const QString& path, sockaddr_un& address) {
    const QByteArray native = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(native.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    return true;
}

// Waits until fd is ready for events, at most until deadline.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd watched{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)));
        if (ready >= 0 || errno != EINTR) return ready > 0;
    }
}

} // namespace

struct SingleProgram::Platform {
    SingleProgram& owner;
    QString socketPath;
    int lock = -1; // the lock file, locked while this program holds the folder
    int listening = -1; // the socket's file descriptor while this program holds the folder
    int served = 0; // connections open now
    QSocketNotifier* incoming = nullptr;

    // Locks the lock file (opened when it is not); false while another
    // program holds it.
    bool tryLock();
    Start holdFolder();
    bool listen();
    Start askRunning(int answerWithinMs);
    void answer();
    void readRequest(int connection, QSocketNotifier* notifier);
    void hangUp(int connection, QSocketNotifier* notifier);
};

QString userRuntimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(xdg) && isOwnFolder(xdg)) return xdg;
    // Without one (a session that sets none), a folder of our own, as other
    // programs make it.
    const QString own = QDir::tempPath() + QStringLiteral("/korvax-rechner-") + QString::number(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isOwnFolder(own) ? own : QString();
}

SingleProgram::SingleProgram(const std::filesystem::path& dataDir, const QString& runtimeDir)
    : platform_(new Platform{*this, {}}) {
    if (runtimeDir.isEmpty()) return;
    const QString base = runtimeDir + QStringLiteral("/korvax-rechner-") + folderKey(dataDir);
    lockPath_ = base + QStringLiteral(".lock");
    platform_->socketPath = base + QStringLiteral(".socket");
}

SingleProgram::~SingleProgram() {
    Platform& p = *platform_;
    if (p.listening >= 0) {
        delete p.incoming;
        ::close(p.listening);
        ::unlink(QFile::encodeName(p.socketPath).constData());
        ::unlink(QFile::encodeName(lockPath_).constData()); // while still held: see tryLock()
    }
    if (p.lock >= 0) ::close(p.lock); // the lock goes with it
}

bool SingleProgram::Platform::tryLock() {
    const QByteArray path = QFile::encodeName(owner.lockPath_);
    for (;;) {
        if (lock < 0) lock = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) return false;
        struct stat held {
        }, named{};
        if (::fstat(lock, &held) == 0 && ::stat(path.constData(), &named) == 0 && held.st_ino == named.st_ino) {
            return true;
        }
        // A holder removes its lock file as it ends: the file there now counts.
        ::close(lock);
        lock = -1;
    }
}

SingleProgram::Start SingleProgram::start(int answerWithinMs) {
    if (lockPath_.isEmpty()) {
        problem_ = QStringLiteral("Es gibt keinen Laufzeitordner für die Sperrdatei.");
        return Start::Unchecked;
    }
    if (platform_->tryLock()) return platform_->holdFolder();
    if (platform_->lock < 0 || errno != EWOULDBLOCK) {
        problem_ = QStringLiteral("Die Sperrdatei „%1“ lässt sich nicht anlegen.").arg(lockPath_);
        return Start::Unchecked;
    }
    return platform_->askRunning(answerWithinMs);
}

SingleProgram::Start SingleProgram::Platform::holdFolder() {
    if (listen()) return Start::Alone;
    // Unreachable, the program would seem to hang to every later start: it
    // runs unlocked, as when no lock can be made.
    ::unlink(QFile::encodeName(owner.lockPath_).constData());
    ::close(lock);
    lock = -1;
    return Start::Unchecked;
}

bool SingleProgram::Platform::listen() {
    sockaddr_un address;
    if (!addressOf(socketPath, address)) {
        owner.problem_ = QStringLiteral("Der Pfad „%1“ ist zu lang für eine Verbindung.").arg(socketPath);
        return false;
    }
    // The folder is ours now: a socket left there belongs to a program that
    // was killed.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 16) != 0) {
        owner.problem_ = QStringLiteral("Auf „%1“ lässt sich nicht warten: %2")
                             .arg(socketPath, QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0) ::close(fd);
        return false;
    }
    listening = fd;
    incoming = new QSocketNotifier(fd, QSocketNotifier::Read, &owner);
    QObject::connect(incoming, &QSocketNotifier::activated, &owner, [this] { answer(); });
    return true;
}

void SingleProgram::Platform::answer() {
    while (served < kServedAtOnce) {
        const int connection = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0) {
            if (errno == EAGAIN) return;
            incoming->setEnabled(false);
            QTimer::singleShot(kPauseMs, incoming, [this] { incoming->setEnabled(served < kServedAtOnce); });
            return;
        }
        ++served;
        auto* notifier = new QSocketNotifier(connection, QSocketNotifier::Read, &owner);
        QObject::connect(notifier, &QSocketNotifier::activated, &owner,
                         [this, connection, notifier] { readRequest(connection, notifier); });
        QTimer::singleShot(kServeMs, notifier, [this, connection, notifier] { hangUp(connection, notifier); });
    }
    incoming->setEnabled(false);
}

void SingleProgram::Platform::hangUp(int connection, QSocketNotifier* notifier) {
    if (!notifier->isEnabled()) return; // already closed
    notifier->setEnabled(false);
    notifier->deleteLater();
    ::close(connection);
    --served;
    incoming->setEnabled(true);
}

void SingleProgram::Platform::readRequest(int connection, QSocketNotifier* notifier) {
    char request[32];
    const ssize_t got = ::recv(connection, request, sizeof request, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return; // not all there yet
    if (got > 0 && std::string_view(request, static_cast<std::size_t>(got)) == kFrontWanted) {
        emit owner.frontWanted();
        [[maybe_unused]] const ssize_t sent = ::send(connection, kDone.data(), kDone.size(), MSG_NOSIGNAL);
    }
    hangUp(connection, notifier);
}

SingleProgram::Start SingleProgram::Platform::askRunning(int answerWithinMs) {
    const QDeadlineTimer deadline(answerWithinMs);
    sockaddr_un address;
    if (!addressOf(socketPath, address)) return Start::NoAnswer;
    while (!deadline.hasExpired()) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            char reply[8] = {};
            const bool answered =
                ::send(fd, kFrontWanted.data(), kFrontWanted.size(), MSG_NOSIGNAL) ==
                    static_cast<ssize_t>(kFrontWanted.size()) &&
                waitFor(fd, POLLIN, deadline) &&
                ::recv(fd, reply, sizeof reply - 1, 0) == static_cast<ssize_t>(kDone.size()) && kDone == reply;
            ::close(fd);
            return answered ? Start::Answered : Start::NoAnswer;
        }
        if (fd >= 0) ::close(fd);
        // The program holding the folder may still be starting (not yet
        // listening) or just ending (the lock then comes free), or its queue
        // is full: it does not take its connections.
        QThread::msleep(50);
        if (tryLock()) return holdFolder();
    }
    return Start::NoAnswer;
}

} // namespace krvx
