#include "common/ui/DataFileSave.h"

#include "common/messagetexts.h"

namespace krvx {

SaveOutcome saveAndTell(const Services& services, std::string_view name, std::string_view content, bool damaged,
                        SaveNotice notice) {
    const std::filesystem::path file = services.file(name);
    const SaveOutcome saved = saveKeepingCopy(file, content, damaged, services.files);
    OncePerActionMessages& messages = services.messages;
    if (notice == SaveNotice::Editor) {
        if (saved.copyError)
            messages.message(copyErrorText(file, *saved.copyError), kAppTitle, MessageIcon::Error);
        else if (saved.writeError)
            messages.message(saveErrorText(*saved.writeError), kSaveErrorTitle, MessageIcon::Error);
        else if (saved.keptCopy)
            messages.message(keptCopyText(file, *saved.keptCopy), kAppTitle);
    } else if (saved.writeError && (notice == SaveNotice::Failure || saved.writeError->foreignLink)) {
        messages.message(notSavedText(file, *saved.writeError));
    }
    return saved;
}

} // namespace krvx
