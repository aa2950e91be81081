#include "common/temporaries.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace krvx {

namespace {

std::string temporaryPrefix(const std::filesystem::path& file) {
    return "." + file.filename().string() + ".tmp";
}

// Creates and locks a fresh temporary file; -1 with errno set on failure. The
// lock lasts until the descriptor is closed.
int createTemporary(FileOps& ops, const std::filesystem::path& file, std::filesystem::path& tempPath) {
    std::random_device random;
    const std::string prefix = temporaryPrefix(file) + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folderOf(file) / (prefix + std::to_string(random() % 1000000000));
        const int fd = ops.open(tempPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB); // a fresh file: nobody else holds it
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

std::optional<std::filesystem::path> writeTemporary(FileOps& ops, const std::filesystem::path& file,
                                                    std::string_view bytes, const std::function<bool(int fd)>& prepare) {
    std::filesystem::path temp;
    const int fd = createTemporary(ops, file, temp);
    if (fd < 0)
        return std::nullopt;
    const auto discard = [&](int number) {
        ::unlink(temp.c_str());
        errno = number;
        return std::nullopt;
    };
    if (!prepare(fd) || !writeAll(ops, fd, bytes) || ops.fsync(fd) != 0) {
        const int number = errno;
        ops.close(fd);
        return discard(number);
    }
    if (ops.close(fd) != 0)
        return discard(errno);
    return temp;
}

namespace {

// What follows the prefix in the name of a temporary file: the writer's
// process id, "-" and a random number; or, from earlier versions, only the
// random number. nullopt when the name is none of the program's; a pid of 0
// when it names no writer.
std::optional<pid_t> temporaryWriter(std::string_view suffix) {
    const std::size_t dash = suffix.find('-');
    const std::string_view pid = dash == std::string_view::npos ? std::string_view() : suffix.substr(0, dash);
    const std::string_view number = dash == std::string_view::npos ? suffix : suffix.substr(dash + 1);
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 10 &&
               text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(number) || (dash != std::string_view::npos && !digits(pid)))
        return std::nullopt;
    return pid.empty() ? 0 : static_cast<pid_t>(std::stoll(std::string(pid)));
}

void removeIfAbandoned(const std::filesystem::path& temp, pid_t writer) {
    int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
        fd = ::open(temp.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    // A lock held means a save is writing it right now.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // The writer's id may have been given to another process since: a
        // file left unchanged for ten minutes is no save at work either.
        constexpr std::time_t kLongUnchanged = 600;
        const bool writerGone = writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH;
        if (writerGone || std::time(nullptr) - info.st_mtime > kLongUnchanged)
            ::unlink(temp.c_str());
    }
    ::close(fd);
}

} // namespace

void removeAbandonedTemporaries(const std::filesystem::path& file) {
    FileError linkError;
    const std::optional<std::filesystem::path> target = resolveLinks(file, linkError);
    if (!target)
        return;
    const std::string prefix = temporaryPrefix(*target);
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folderOf(*target), ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix))
            continue;
        if (const std::optional<pid_t> writer = temporaryWriter(std::string_view(name).substr(prefix.size())))
            removeIfAbandoned(it->path(), *writer);
    }
}

} // namespace krvx
