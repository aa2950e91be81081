#include "common/temporaries.h"

#include <cerrno>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include <fcntl.h>

#include "common/fileops.h"
#include "common/paths.h"
#include "common/systempaths.h"

namespace krvx {

namespace {

std::string temporaryPrefix(const std::filesystem::path& file) {
    return "." + utf8Of(file.filename()) + ".tmp";
}

// What follows the prefix in the name of a temporary file: the writer's
// process id, "-" and a random number; or, from earlier versions, only the
// random number. nullopt when the name is none of the program's; a writer of
// 0 when it names none.
std::optional<long long> temporaryWriter(std::string_view suffix) {
    const std::size_t dash = suffix.find('-');
    const std::string_view pid = dash == std::string_view::npos ? std::string_view() : suffix.substr(0, dash);
    const std::string_view number = dash == std::string_view::npos ? suffix : suffix.substr(dash + 1);
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(number) || (dash != std::string_view::npos && !digits(pid))) return std::nullopt;
    return pid.empty() ? 0 : std::stoll(std::string(pid));
}

} // namespace

std::filesystem::path temporaryName(const std::filesystem::path& file, long long writer, unsigned long number) {
    return folderOf(file) / pathOfUtf8(temporaryPrefix(file) + std::to_string(writer) + "-" + std::to_string(number));
}

std::optional<std::filesystem::path> writeTemporary(FileOps& ops, const std::filesystem::path& file, long long writer,
                                                    std::string_view bytes, const PrepareTemporary& prepare,
                                                    mode_t created) {
    std::random_device random;
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = temporaryName(file, writer, random() % 1000000000);
        fd = ops.open(temp, O_WRONLY | O_CREAT | O_EXCL, created);
        if (fd < 0 && errno != EEXIST) return std::nullopt;
    }
    if (fd < 0) {
        errno = EEXIST;
        return std::nullopt;
    }
    const auto discard = [&](int number) {
        removeFile(temp);
        errno = number;
        return std::nullopt;
    };
    if (!prepare(fd) || !writeAll(ops, fd, bytes) || ops.fsync(fd) != 0) {
        const int number = errno;
        ops.close(fd);
        return discard(number);
    }
    if (ops.close(fd) != 0) return discard(errno);
    return temp;
}

void removeAbandonedTemporaries(const std::filesystem::path& file) {
    FileError linkError;
    if (const std::optional<std::filesystem::path> target = resolveLinks(file, linkError))
        removeAbandonedTemporariesOf(*target);
}

void removeAbandonedTemporariesOf(const std::filesystem::path& target) {
    const std::string prefix = temporaryPrefix(target);
    std::error_code ec;
    for (const std::filesystem::path& entry : folderListing(folderOf(target), ec)) {
        const std::string name = utf8Of(entry.filename());
        if (!name.starts_with(prefix)) continue;
        if (const std::optional<long long> writer = temporaryWriter(std::string_view(name).substr(prefix.size())))
            removeIfAbandoned(entry, *writer);
    }
}

std::filesystem::path besideName(const std::filesystem::path& file, std::string_view suffix, int n) {
    std::filesystem::path copy = file;
    copy += pathOfUtf8(std::string(suffix) + (n == 1 ? std::string() : std::to_string(n)));
    return copy;
}

std::optional<std::filesystem::path> nameCopy(FileOps& ops, const std::filesystem::path& temp,
                                              const std::filesystem::path& file, std::string_view suffix) {
    for (int n = 1; n <= kMostBackupCopies; ++n) {
        const std::filesystem::path copy = besideName(file, suffix, n);
        if (ops.link(temp, copy) == 0) {
            removeFile(temp);
            return copy;
        }
        const int number = moveToFreeName(ops, temp, copy, errno);
        if (number != EEXIST) {
            errno = number;
            return number == 0 ? std::optional(copy) : std::nullopt;
        }
    }
    errno = EEXIST;
    return std::nullopt;
}

} // namespace krvx
