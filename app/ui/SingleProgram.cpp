#include "app/ui/SingleProgram.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
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
#include <system_error>
#include <unistd.h>

namespace krvx {

namespace {

const QByteArray kFrontWanted = "nach-vorn\n";
const QByteArray kDone = "ok\n";
// However many connect at once, a handful are served at a time, each for at
// most the time a second start waits for its answer; the others wait in the
// queue. No descriptor left (the file limit): accepting pauses for a moment.
constexpr int kServedAtOnce = 4;
constexpr int kServeMs = 2000;
constexpr int kPauseMs = 200;

// The folder's real path (links resolved), as far as it exists.
QString realPath(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path real = std::filesystem::weakly_canonical(std::filesystem::absolute(folder, error), error);
    if (error) real = folder;
    return QString::fromStdString(real.string());
}

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

QString userRuntimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(xdg) && isOwnFolder(xdg)) return xdg;
    // Without one (a session that sets none), a folder of our own, as other
    // programs make it.
    const QString own = QDir::tempPath() + QStringLiteral("/korvax-rechner-") + QString::number(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isOwnFolder(own) ? own : QString();
}

SingleProgram::SingleProgram(const std::filesystem::path& dataDir, const QString& runtimeDir) {
    if (runtimeDir.isEmpty()) return;
    const QByteArray key = QCryptographicHash::hash(realPath(dataDir).toUtf8(), QCryptographicHash::Sha256)
                               .toHex()
                               .left(16);
    const QString base = runtimeDir + QStringLiteral("/korvax-rechner-") + QString::fromLatin1(key);
    lockPath_ = base + QStringLiteral(".lock");
    socketPath_ = base + QStringLiteral(".socket");
}

SingleProgram::~SingleProgram() {
    if (listening_ >= 0) {
        delete incoming_;
        ::close(listening_);
        ::unlink(QFile::encodeName(socketPath_).constData());
        ::unlink(QFile::encodeName(lockPath_).constData()); // while still held: see tryLock()
    }
    if (lock_ >= 0) ::close(lock_); // the lock goes with it
}

bool SingleProgram::tryLock() {
    const QByteArray path = QFile::encodeName(lockPath_);
    for (;;) {
        if (lock_ < 0) lock_ = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) return false;
        struct stat held {
        }, named{};
        if (::fstat(lock_, &held) == 0 && ::stat(path.constData(), &named) == 0 && held.st_ino == named.st_ino) {
            return true;
        }
        // A holder removes its lock file as it ends: the file there now counts.
        ::close(lock_);
        lock_ = -1;
    }
}

SingleProgram::Start SingleProgram::start(int answerWithinMs) {
    if (lockPath_.isEmpty()) {
        problem_ = QStringLiteral("Es gibt keinen Laufzeitordner für die Sperrdatei.");
        return Start::Unchecked;
    }
    if (tryLock()) return holdFolder();
    if (lock_ < 0 || errno != EWOULDBLOCK) {
        problem_ = QStringLiteral("Die Sperrdatei „%1“ lässt sich nicht anlegen.").arg(lockPath_);
        return Start::Unchecked;
    }
    return askRunning(answerWithinMs);
}

SingleProgram::Start SingleProgram::holdFolder() {
    if (listen()) return Start::Alone;
    // Unreachable, the program would seem to hang to every later start: it
    // runs unlocked, as when no lock can be made.
    ::unlink(QFile::encodeName(lockPath_).constData());
    ::close(lock_);
    lock_ = -1;
    return Start::Unchecked;
}

bool SingleProgram::listen() {
    sockaddr_un address;
    if (!addressOf(socketPath_, address)) {
        problem_ = QStringLiteral("Der Pfad „%1“ ist zu lang für eine Verbindung.").arg(socketPath_);
        return false;
    }
    // The folder is ours now: a socket left there belongs to a program that
    // was killed.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 16) != 0) {
        problem_ = QStringLiteral("Auf „%1“ lässt sich nicht warten: %2")
                       .arg(socketPath_, QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0) ::close(fd);
        return false;
    }
    listening_ = fd;
    incoming_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(incoming_, &QSocketNotifier::activated, this, &SingleProgram::answer);
    return true;
}

void SingleProgram::answer() {
    while (served_ < kServedAtOnce) {
        const int connection = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0) {
            if (errno == EAGAIN) return;
            incoming_->setEnabled(false);
            QTimer::singleShot(kPauseMs, incoming_, [this] { incoming_->setEnabled(served_ < kServedAtOnce); });
            return;
        }
        ++served_;
        auto* notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this,
                [this, connection, notifier] { readRequest(connection, notifier); });
        QTimer::singleShot(kServeMs, notifier, [this, connection, notifier] { hangUp(connection, notifier); });
    }
    incoming_->setEnabled(false);
}

void SingleProgram::hangUp(int connection, QSocketNotifier* notifier) {
    if (!notifier->isEnabled()) return; // already closed
    notifier->setEnabled(false);
    notifier->deleteLater();
    ::close(connection);
    --served_;
    incoming_->setEnabled(true);
}

void SingleProgram::readRequest(int connection, QSocketNotifier* notifier) {
    char request[32];
    const ssize_t got = ::recv(connection, request, sizeof request, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return; // not all there yet
    if (got > 0 && QByteArray(request, static_cast<int>(got)) == kFrontWanted) {
        emit frontWanted();
        [[maybe_unused]] const ssize_t sent = ::send(connection, kDone.constData(), kDone.size(), MSG_NOSIGNAL);
    }
    hangUp(connection, notifier);
}

SingleProgram::Start SingleProgram::askRunning(int answerWithinMs) {
    const QDeadlineTimer deadline(answerWithinMs);
    sockaddr_un address;
    if (!addressOf(socketPath_, address)) return Start::NoAnswer;
    while (!deadline.hasExpired()) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            char reply[8] = {};
            const bool answered =
                ::send(fd, kFrontWanted.constData(), kFrontWanted.size(), MSG_NOSIGNAL) == kFrontWanted.size() &&
                waitFor(fd, POLLIN, deadline) && ::recv(fd, reply, sizeof reply - 1, 0) == kDone.size() &&
                kDone == reply;
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
