// One program per data folder on Windows: a hidden lock file in the data
// folder that the holder keeps open without sharing and that is deleted when
// its handle closes (Windows closes it as the program ends, however it ends),
// and a named pipe of the user's own, named after the folder's volume serial
// and file ID (the same for every spelling of its path: letter case, short
// names, subst drives, junctions), on which the program hears a later start's
// request to come to the front, served in the event loop.
#include <windows.h>
#include <sddl.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <QTimer>
#include <QWinEventNotifier>
#include <list>
#include <vector>

#include "app/ui/SingleProgram.h"
#include "common/paths.h"

namespace krvx {

namespace {

constexpr DWORD kPipeBuffer = 64;
// No pipe instance could be made for the next start: listening again after a pause.
constexpr int kPauseMs = 200;

// The user's security identifier as text: named pipes are one namespace for
// the whole machine, and another user's program is not ours.
QString userSid() {
    QString sid = qEnvironmentVariable("USERNAME");
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<char> user(size);
    LPWSTR text = nullptr;
    if (size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) {
        sid = QString::fromWCharArray(text);
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

// The folder's identity as text: its volume's serial number and its file ID;
// empty when it cannot be opened.
QString folderIdentity(const std::filesystem::path& folder) {
    HANDLE handle = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known) return {};
    const quint64 index = (quint64{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return QStringLiteral("%1-%2").arg(info.dwVolumeSerialNumber, 8, 16, QLatin1Char('0')).arg(index, 0, 16);
}

// A security descriptor that lets only the user reach the pipe; null when
// none can be made (the system's default then applies).
PSECURITY_DESCRIPTOR ownerOnly(const QString& sid) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring text = (QStringLiteral("D:P(A;;GA;;;") + sid + QLatin1Char(')')).toStdWString();
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return nullptr;
    }
    return descriptor;
}

HANDLE newEvent() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

// Ends an overlapped operation on handle that started (started) or failed:
// waits for it at most until deadline, cancels it then. Returns whether it
// succeeded, with the bytes moved in done.
bool finish(BOOL started, HANDLE handle, OVERLAPPED& overlapped, const QDeadlineTimer& deadline, DWORD& done) {
    if (!started && GetLastError() != ERROR_IO_PENDING) return false;
    const auto wait = static_cast<DWORD>(std::max<qint64>(deadline.remainingTime(), 0));
    if (WaitForSingleObject(overlapped.hEvent, wait) != WAIT_OBJECT_0) CancelIoEx(handle, &overlapped);
    return GetOverlappedResult(handle, &overlapped, &done, TRUE);
}

// Cancels what is still under way on a pipe and closes it; an OVERLAPPED
// never started (zeroed) is not waited for.
void closePipe(HANDLE& pipe, std::initializer_list<OVERLAPPED*> operations) {
    if (pipe == INVALID_HANDLE_VALUE) return;
    CancelIoEx(pipe, nullptr);
    DWORD done = 0;
    for (OVERLAPPED* operation : operations) GetOverlappedResult(pipe, operation, &done, TRUE);
    CloseHandle(pipe);
    pipe = INVALID_HANDLE_VALUE;
}

// A later start connected: its request read, the answer written, hung up when
// it has gone or after the time it waits at most.
struct Connection {
    HANDLE pipe;
    HANDLE readDone = newEvent();
    HANDLE writeDone = newEvent();
    OVERLAPPED reading{};
    OVERLAPPED writing{};
    char request[32] = {};
    bool answered = false;
    QWinEventNotifier* notifier = nullptr;

    explicit Connection(HANDLE connected) : pipe(connected) {
        reading.hEvent = readDone;
        writing.hEvent = writeDone;
    }
    ~Connection() {
        closePipe(pipe, {&reading, &writing});
        delete notifier;
        CloseHandle(readDone);
        CloseHandle(writeDone);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Reads what comes next; false when the other side has gone.
    bool read() {
        return ReadFile(pipe, request, sizeof request, nullptr, &reading) || GetLastError() == ERROR_IO_PENDING;
    }
};

} // namespace

struct SingleProgram::Platform {
    SingleProgram& owner;
    std::wstring pipeName; // empty when the folder's identity is unknown
    PSECURITY_DESCRIPTOR security = nullptr; // the pipe's: the user's own
    HANDLE lock = INVALID_HANDLE_VALUE; // the lock file, open while this program holds the folder
    HANDLE listening = INVALID_HANDLE_VALUE; // the pipe instance that waits for the next start
    HANDLE connected = newEvent();
    OVERLAPPED connecting{};
    bool connectedAlready = false; // the start came before ConnectNamedPipe
    QWinEventNotifier* incoming = nullptr;
    DWORD failure = 0; // why the pipe could not be made
    std::list<Connection> connections; // served now
    int served = 0;

    explicit Platform(SingleProgram& program) : owner(program) {}
    ~Platform();
    bool tryLock();
    bool pipeExists() const;
    Start holdFolder();
    bool listen(bool first);
    bool listenOn(HANDLE pipe);
    void listenAgain();
    void answer();
    void serve(HANDLE pipe);
    void readRequest(Connection& connection);
    void hangUp(Connection& connection);
    Start askRunning(int answerWithinMs);
    bool ask(HANDLE pipe, const QDeadlineTimer& deadline);
};

// The pipe needs no folder.
QString userRuntimeFolder() {
    return {};
}

SingleProgram::SingleProgram(const std::filesystem::path& dataDir, const QString&)
    : lockPath_(QDir::toNativeSeparators(QString::fromStdString(utf8Of(dataDir / kLockFile)))),
      platform_(std::make_unique<Platform>(*this)) {
    platform_->connecting.hEvent = platform_->connected;
    const QString identity = folderIdentity(dataDir);
    if (identity.isEmpty()) return;
    const QString sid = userSid();
    platform_->pipeName =
        (QStringLiteral("\\\\.\\pipe\\korvax-rechner-") + sid + QLatin1Char('-') + identity).toStdWString();
    platform_->security = ownerOnly(sid);
}

SingleProgram::~SingleProgram() = default;

SingleProgram::Platform::~Platform() {
    delete incoming;
    closePipe(listening, {&connecting});
    connections.clear();
    CloseHandle(connected);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock); // the file goes with it
    if (security) LocalFree(security);
}

bool SingleProgram::Platform::tryLock() {
    const std::wstring path = owner.lockPath_.toStdWString();
    lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return lock != INVALID_HANDLE_VALUE;
}

bool SingleProgram::Platform::pipeExists() const {
    return !pipeName.empty() && (WaitNamedPipeW(pipeName.c_str(), 1) || GetLastError() != ERROR_FILE_NOT_FOUND);
}

SingleProgram::Start SingleProgram::start(int answerWithinMs) {
    if (platform_->tryLock()) return platform_->holdFolder();
    // Held open by the program in this folder; a file still being deleted
    // (its holder just ended) refuses access for a moment.
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || (error == ERROR_ACCESS_DENIED && platform_->pipeExists())) {
        return platform_->askRunning(answerWithinMs);
    }
    problem_ = QStringLiteral("„%1“: %2")
                   .arg(QString::fromLatin1(kLockFile.data(), static_cast<qsizetype>(kLockFile.size())),
                        qt_error_string(static_cast<int>(error)));
    return Start::Unchecked;
}

SingleProgram::Start SingleProgram::Platform::holdFolder() {
    if (listen(true)) {
        incoming = new QWinEventNotifier(connected, &owner);
        QObject::connect(incoming, &QWinEventNotifier::activated, &owner, [this] { answer(); });
        return Start::Alone;
    }
    // It holds the folder all the same: a later start says that it runs.
    owner.problem_ = pipeName.empty()
                         ? QStringLiteral("Der Datenordner lässt sich nicht erkennen.")
                         : QStringLiteral("Auf „%1“ lässt sich nicht warten: %2")
                               .arg(QString::fromStdWString(pipeName), qt_error_string(static_cast<int>(failure)));
    return Start::Alone;
}

// A pipe instance for the next start. The first one must be the first of its
// name: one made before by someone else is not ours to serve.
bool SingleProgram::Platform::listen(bool first) {
    if (pipeName.empty()) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security, FALSE};
    HANDLE pipe = CreateNamedPipeW(
        pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, PIPE_UNLIMITED_INSTANCES,
        kPipeBuffer, kPipeBuffer, 0, security ? &attributes : nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        failure = GetLastError();
        return false;
    }
    return listenOn(pipe);
}

// Waits on the pipe instance for the next start.
bool SingleProgram::Platform::listenOn(HANDLE pipe) {
    listening = pipe;
    connecting = {};
    connecting.hEvent = connected;
    connectedAlready = false;
    if (!ConnectNamedPipe(listening, &connecting)) {
        const DWORD error = GetLastError();
        if (error == ERROR_PIPE_CONNECTED) {
            connectedAlready = true;
            SetEvent(connected);
        } else if (error != ERROR_IO_PENDING) {
            failure = error;
            closePipe(listening, {});
            return false;
        }
    }
    return true;
}

void SingleProgram::Platform::listenAgain() {
    if (listening != INVALID_HANDLE_VALUE) return;
    if (!listen(false)) QTimer::singleShot(kPauseMs, incoming, [this] { listenAgain(); });
}

// The next instance is made before the connected one is served, so that one
// of ours is always there and no one else can take the name.
void SingleProgram::Platform::answer() {
    if (listening == INVALID_HANDLE_VALUE) return;
    if (served >= kServedAtOnce) {
        incoming->setEnabled(false); // until one is served
        return;
    }
    DWORD unused = 0;
    const bool came = connectedAlready || GetOverlappedResult(listening, &connecting, &unused, FALSE);
    if (!came && GetLastError() == ERROR_IO_INCOMPLETE) return; // not yet
    ResetEvent(connected);
    HANDLE pipe = listening;
    listening = INVALID_HANDLE_VALUE;
    if (!came) {
        DisconnectNamedPipe(pipe);
        if (!listenOn(pipe)) listenAgain();
        return;
    }
    listenAgain();
    serve(pipe);
}

void SingleProgram::Platform::serve(HANDLE pipe) {
    Connection& connection = connections.emplace_back(pipe);
    ++served;
    connection.notifier = new QWinEventNotifier(connection.readDone);
    QObject::connect(connection.notifier, &QWinEventNotifier::activated, &owner,
                     [this, &connection] { readRequest(connection); });
    QTimer::singleShot(kServeMs, connection.notifier, [this, &connection] { hangUp(connection); });
    if (!connection.read()) QTimer::singleShot(0, connection.notifier, [this, &connection] { hangUp(connection); });
}

void SingleProgram::Platform::readRequest(Connection& connection) {
    DWORD got = 0;
    const bool read = GetOverlappedResult(connection.pipe, &connection.reading, &got, FALSE);
    if (!read && GetLastError() == ERROR_IO_INCOMPLETE) return; // not all there yet
    if (read && !connection.answered && std::string_view(connection.request, got) == kFrontWanted) {
        connection.answered = true;
        emit owner.frontWanted();
        WriteFile(connection.pipe, kDone.data(), static_cast<DWORD>(kDone.size()), nullptr, &connection.writing);
        // Hung up once the other side has read the answer and gone: a pipe
        // closed earlier would take the answer with it.
        if (connection.read()) return;
    }
    hangUp(connection);
}

void SingleProgram::Platform::hangUp(Connection& connection) {
    if (connection.pipe == INVALID_HANDLE_VALUE) return; // already closed
    connection.notifier->setEnabled(false);
    if (listening == INVALID_HANDLE_VALUE) {
        // No new instance could be made: this one waits for the next start.
        CancelIoEx(connection.pipe, nullptr);
        DWORD done = 0;
        GetOverlappedResult(connection.pipe, &connection.reading, &done, TRUE);
        GetOverlappedResult(connection.pipe, &connection.writing, &done, TRUE);
        DisconnectNamedPipe(connection.pipe);
        listenOn(connection.pipe); // which closes it when it cannot wait on it
        connection.pipe = INVALID_HANDLE_VALUE;
    }
    closePipe(connection.pipe, {&connection.reading, &connection.writing});
    --served;
    incoming->setEnabled(true);
    // Removed once the event loop has left its notifier's signal.
    QTimer::singleShot(0, &owner, [this, gone = &connection] {
        connections.remove_if([gone](const Connection& c) { return &c == gone; });
    });
    listenAgain();
}

SingleProgram::Start SingleProgram::Platform::askRunning(int answerWithinMs) {
    const QDeadlineTimer deadline(answerWithinMs);
    bool pipeSeen = false; // a pipe of ours is there, answering or not
    while (!deadline.hasExpired()) {
        HANDLE pipe =
            pipeName.empty()
                ? INVALID_HANDLE_VALUE
                : CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            const bool answered = ask(pipe, deadline);
            CloseHandle(pipe);
            return answered ? Start::Answered : Start::NoAnswer;
        }
        pipeSeen = pipeSeen || (!pipeName.empty() && GetLastError() != ERROR_FILE_NOT_FOUND);
        // The program holding the folder may still be starting (not yet
        // listening) or just ending (the lock then comes free), or it serves
        // as many starts as it takes at once.
        QThread::msleep(50);
        if (tryLock()) return holdFolder();
    }
    return pipeSeen ? Start::NoAnswer : Start::Elsewhere;
}

bool SingleProgram::Platform::ask(HANDLE pipe, const QDeadlineTimer& deadline) {
    // Windows lets only the program in front bring another's window forward.
    ULONG running = 0;
    if (GetNamedPipeServerProcessId(pipe, &running)) AllowSetForegroundWindow(running);
    OVERLAPPED operation{};
    operation.hEvent = newEvent();
    DWORD moved = 0;
    const auto size = static_cast<DWORD>(kFrontWanted.size());
    bool answered =
        finish(WriteFile(pipe, kFrontWanted.data(), size, nullptr, &operation), pipe, operation, deadline, moved) &&
        moved == size;
    char reply[8] = {};
    answered = answered &&
               finish(ReadFile(pipe, reply, sizeof reply - 1, nullptr, &operation), pipe, operation, deadline, moved) &&
               std::string_view(reply, moved) == kDone;
    CloseHandle(operation.hEvent);
    return answered;
}

} // namespace krvx
