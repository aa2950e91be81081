#include "common/atomicsave.h"

#include <cerrno>
#include <system_error>
#include <variant>

#include "common/cp1252.h"
#include "common/systempaths.h"
#include "common/temporaries.h"

namespace krvx {

std::optional<FileError> saveDataFile(const std::filesystem::path& file, std::string_view utf8Content, FileOps& ops) {
    FileError linkError;
    const auto target = resolveLinks(file, linkError);
    if (!target) return linkError;
    return saveToTarget(*target, utf8Content, ops);
}

std::optional<FileError> saveToTarget(const std::filesystem::path& target, std::string_view utf8Content, FileOps& ops) {
    auto replacement = replacementOf(target);
    if (auto* refusal = std::get_if<FileError>(&replacement)) return *refusal;
    removeAbandonedTemporariesOf(target);

    std::error_code unknown;
    const bool exists = entryType(target, unknown) != std::filesystem::file_type::not_found;
    const mode_t created = exists || unknown ? kPrivateFile : kNewFile;
    const auto temp = writeTemporary(ops, target, thisWriter(), utf8ToCp1252(utf8Content),
                                     std::get<PrepareTemporary>(replacement), created);
    if (!temp) return fileError(errno);
    if (ops.rename(*temp, target) != 0) {
        const int number = errno;
        removeFile(*temp);
        return fileError(number);
    }
    syncFolderOf(target);
    return std::nullopt;
}

} // namespace krvx
