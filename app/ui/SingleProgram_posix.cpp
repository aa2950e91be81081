// One program per data folder on Linux: flock on the lock file in the data
// folder, and a Unix socket in the user's runtime folder, named after the
// folder's device and inode, for the request to come to the front.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/ui/SingleProgram.h"
#include "common/paths.h"

namespace krvx {

namespace {

// No descriptor left (the file limit): accepting pauses for a moment.
constexpr int kPauseMs = 200;

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A folder of ours (not a link) that no one else may write to: in any other,
// a socket of someone else's could pass for a program of ours.
bool isOwnFolder(const QString& path) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    return !path.isEmpty() && ::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

QString privateTempFolder() {
    return QDir::tempPath() + QStringLiteral("/korvax-rechner-") + QString::number(::getuid());
}

// The socket's address: its path in folder, or, when that is too long for an
// address, the same file reached through the folder's open descriptor.
bool addressOf(const QString& folder, int folderFd, const QString& name, sockaddr_un& address) {
    QByteArray native = QFile::encodeName(folder + QLatin1Char('/') + name);
    if (static_cast<std::size_t>(native.size()) >= sizeof address.sun_path && folderFd >= 0) {
        native = "/proc/self/fd/" + QByteArray::number(folderFd) + '/' + QFile::encodeName(name);
    }
    address = {};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(native.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    return true;
}

int openFolder(const QString& folder) {
    return ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// Waits until fd is ready for events, at most until deadline.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd watched{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)));
        if (ready >= 0 || errno != EINTR) return ready > 0;
    }
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

struct SingleProgram::Platform {
    SingleProgram& owner;
    QString runtimeDir;
    QString socketName; // after the data folder's device and inode; empty when it has none
    int runtimeFd = -1; // the runtime folder, for a socket path too long to name
    int lock = -1; // the lock file, open while this program tries or holds the folder
    bool held = false; // the lock file is locked: this program holds the folder
    int lockError = 0; // why the lock file cannot be opened or locked
    int listening = -1; // the socket's file descriptor while this program holds the folder
    int served = 0; // connections open now
    QSocketNotifier* incoming = nullptr;

    // Locks the lock file (opened when it is not); false while another
    // program holds it (lockError 0) or when it cannot be locked.
    bool tryLock();
    bool openLock();
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
    const QString own = privateTempFolder();
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isOwnFolder(own) ? own : QString();
}

SingleProgram::SingleProgram(const std::filesystem::path& dataDir, const QString& runtimeDir)
    : lockPath_(QString::fromStdString(utf8Of(dataDir / kLockFile))), platform_(new Platform{*this, runtimeDir, {}}) {
    struct stat folder {};
    if (::stat(QFile::encodeName(QString::fromStdString(utf8Of(dataDir))).constData(), &folder) == 0) {
        platform_->socketName = QStringLiteral("korvax-rechner-%1-%2.socket")
                                    .arg(static_cast<qulonglong>(folder.st_dev), 0, 16)
                                    .arg(static_cast<qulonglong>(folder.st_ino), 0, 16);
    }
    if (!runtimeDir.isEmpty()) platform_->runtimeFd = openFolder(runtimeDir);
}

SingleProgram::~SingleProgram() {
    Platform& p = *platform_;
    if (p.listening >= 0) {
        delete p.incoming;
        ::close(p.listening);
        ::unlinkat(p.runtimeFd, QFile::encodeName(p.socketName).constData(), 0);
    }
    if (p.held) {
        // Removed while still held, and only when the name is still ours: a
        // start that opened it meanwhile sees it gone (tryLock()).
        const QByteArray path = QFile::encodeName(lockPath_);
        struct stat locked {
        }, named{};
        if (::fstat(p.lock, &locked) == 0 && ::lstat(path.constData(), &named) == 0 && sameFile(locked, named)) {
            ::unlink(path.constData());
        }
    }
    if (p.lock >= 0) ::close(p.lock); // the lock goes with it
    if (p.runtimeFd >= 0) ::close(p.runtimeFd);
}

// Read and write where the user may, else read only, which flock takes as
// well (a member of a shared folder's group who may not write the file
// another member made). Never through a link, never a fifo's wait.
bool SingleProgram::Platform::openLock() {
    const QByteArray path = QFile::encodeName(owner.lockPath_);
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    lock = ::open(path.constData(), O_RDWR | O_CREAT | kFlags, 0666);
    if (lock < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        const int first = errno;
        lock = ::open(path.constData(), O_RDONLY | kFlags);
        if (lock < 0 && errno == ENOENT) errno = first;
    }
    if (lock < 0) {
        lockError = errno;
        return false;
    }
    struct stat info {};
    if (::fstat(lock, &info) != 0 || !S_ISREG(info.st_mode)) {
        lockError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(lock);
        lock = -1;
        return false;
    }
    return true;
}

bool SingleProgram::Platform::tryLock() {
    const QByteArray path = QFile::encodeName(owner.lockPath_);
    lockError = 0;
    for (;;) {
        if (lock < 0 && !openLock()) return false;
        if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) lockError = errno;
            return false;
        }
        struct stat locked {
        }, named{};
        if (::fstat(lock, &locked) == 0 && ::lstat(path.constData(), &named) == 0 && sameFile(locked, named)) {
            return held = true;
        }
        // A holder removes its lock file as it ends: the file there now counts.
        ::close(lock);
        lock = -1;
    }
}

SingleProgram::Start SingleProgram::start(int answerWithinMs) {
    Platform& p = *platform_;
    if (p.tryLock()) {
        p.listen();
        return Start::Alone;
    }
    if (p.lockError != 0) {
        QString reason = p.lockError == ELOOP                             ? QStringLiteral("eine Verknüpfung")
                         : p.lockError == EISDIR || p.lockError == EINVAL ? QStringLiteral("keine Datei")
                                                                          : errorText(p.lockError);
        problem_ = QStringLiteral("„%1“: %2").arg(QString::fromLatin1(kLockFile.data(), kLockFile.size()), reason);
        if (p.lock >= 0) ::close(p.lock);
        p.lock = -1;
        return Start::Unchecked;
    }
    return p.askRunning(answerWithinMs);
}

bool SingleProgram::Platform::listen() {
    if (runtimeFd < 0 || socketName.isEmpty()) {
        owner.problem_ = QStringLiteral("Es gibt keinen Laufzeitordner für die Verbindung.");
        return false;
    }
    sockaddr_un address;
    addressOf(runtimeDir, runtimeFd, socketName, address);
    // The folder is ours now: a socket left there belongs to a program that
    // was killed.
    const QByteArray name = QFile::encodeName(socketName);
    ::unlinkat(runtimeFd, name.constData(), 0);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::fchmodat(runtimeFd, name.constData(), 0600, 0) != 0 || ::listen(fd, 16) != 0) {
        owner.problem_ =
            QStringLiteral("Auf „%1/%2“ lässt sich nicht warten: %3").arg(runtimeDir, socketName, errorText(errno));
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
    // The running program listens in its own runtime folder, which may not be
    // this start's (one started with $XDG_RUNTIME_DIR, one without: ssh, su, cron).
    QStringList folders{runtimeDir};
    for (const QString& other : {qEnvironmentVariable("XDG_RUNTIME_DIR"),
                                 QStringLiteral("/run/user/") + QString::number(::getuid()), privateTempFolder()}) {
        if (!folders.contains(other) && QDir::isAbsolutePath(other) && isOwnFolder(other)) folders << other;
    }
    folders.removeAll(QString());
    bool socketSeen = false; // a socket of ours is there, answering or not
    while (!deadline.hasExpired()) {
        for (const QString& folder : folders) {
            const int folderFd = openFolder(folder);
            sockaddr_un address;
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            bool connected = false;
            if (fd >= 0 && !socketName.isEmpty() && addressOf(folder, folderFd, socketName, address)) {
                connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
                socketSeen = socketSeen || connected || errno != ENOENT;
            }
            if (folderFd >= 0) ::close(folderFd);
            if (connected) {
                char reply[8] = {};
                const bool answered = ::send(fd, kFrontWanted.data(), kFrontWanted.size(), MSG_NOSIGNAL) ==
                                          static_cast<ssize_t>(kFrontWanted.size()) &&
                                      waitFor(fd, POLLIN, deadline) &&
                                      ::recv(fd, reply, sizeof reply - 1, 0) == static_cast<ssize_t>(kDone.size()) &&
                                      kDone == reply;
                ::close(fd);
                return answered ? Start::Answered : Start::NoAnswer;
            }
            if (fd >= 0) ::close(fd);
        }
        // The program holding the folder may still be starting (not yet
        // listening) or just ending (the lock then comes free), or its queue
        // is full: it does not take its connections.
        QThread::msleep(50);
        if (tryLock()) {
            listen();
            return Start::Alone;
        }
    }
    return socketSeen ? Start::NoAnswer : Start::Elsewhere;
}

} // namespace krvx
