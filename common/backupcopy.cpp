#include "common/backupcopy.h"

#include "common/atomicsave.h"

namespace krvx {

SaveOutcome saveKeepingCopy(const std::filesystem::path& file, std::string_view utf8Content, bool damaged,
                            FileOps& ops) {
    SaveOutcome outcome;
    std::error_code error;
    // When it cannot even be told whether the file is there, the copy is tried.
    if (damaged && (std::filesystem::exists(file, error) || error)) {
        BackupCopy copy = keepBackupCopy(file, ops);
        if (!copy.path) {
            outcome.copyError = std::move(copy.error);
            return outcome;
        }
        outcome.keptCopy = std::move(copy.path);
    }
    outcome.writeError = saveDataFile(file, utf8Content, ops);
    return outcome;
}

} // namespace krvx
