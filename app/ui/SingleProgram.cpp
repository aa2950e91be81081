#include "app/ui/SingleProgram.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <algorithm>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace krvx {

namespace {

const QByteArray kFrontWanted = "nach-vorn\n";
const QByteArray kDone = "ok\n";

// The folder's real path (links resolved), as far as it exists.
QString realPath(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path real = std::filesystem::weakly_canonical(std::filesystem::absolute(folder, error), error);
    if (error) real = folder;
    return QString::fromStdString(real.string());
}

// A private folder: ours and closed to everyone else.
bool isPrivateFolder(const QString& path) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    return ::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 077) == 0;
}

} // namespace

QString userRuntimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg) && QFileInfo(xdg).isDir()) return xdg;
    // Without one (a session that sets none), a folder of our own, as other
    // programs make it.
    const QString own = QDir::tempPath() + QStringLiteral("/korvax-rechner-") + QString::number(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateFolder(own) ? own : QString();
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

SingleProgram::~SingleProgram() = default;

SingleProgram::Start SingleProgram::start(int answerWithinMs) {
    if (lockPath_.isEmpty()) {
        problem_ = QStringLiteral("Es gibt keinen Laufzeitordner für die Sperrdatei.");
        return Start::Unchecked;
    }
    lock_ = std::make_unique<QLockFile>(lockPath_);
    lock_->setStaleLockTime(0);  // only a lock whose owner is gone is stale
    if (lock_->tryLock(0)) {
        return listen() ? Start::Alone : Start::Unchecked;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        problem_ = QStringLiteral("Die Sperrdatei „%1“ lässt sich nicht anlegen.").arg(lockPath_);
        return Start::Unchecked;
    }
    return askRunning(answerWithinMs);
}

bool SingleProgram::listen() {
    // The folder is ours now: a socket left there belongs to a program that
    // was killed.
    QLocalServer::removeServer(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        problem_ = QStringLiteral("Auf „%1“ lässt sich nicht warten: %2").arg(socketPath_, server_->errorString());
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleProgram::answer);
    return true;
}

void SingleProgram::answer() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray request = socket->readLine();
            if (request == kFrontWanted) emit frontWanted();
            socket->write(kDone);
            socket->disconnectFromServer();
        });
    }
}

SingleProgram::Start SingleProgram::askRunning(int answerWithinMs) {
    const QDeadlineTimer deadline(answerWithinMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) {
            socket.write(kFrontWanted);
            while (!socket.canReadLine() &&
                   socket.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) {
            }
            return socket.canReadLine() && socket.readLine() == kDone ? Start::Answered : Start::NoAnswer;
        }
        // The program holding the folder may still be starting (not yet
        // listening) or just ending (the lock then comes free).
        QThread::msleep(50);
        if (lock_->tryLock(0)) {
            return listen() ? Start::Alone : Start::Unchecked;
        }
    }
    return Start::NoAnswer;
}

} // namespace krvx
