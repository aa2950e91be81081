#include "common/ui/DataFileSave.h"

#include "common/messagetexts.h"

namespace krvx {

void tellSaved(const Services& services, std::string_view name, const SaveOutcome& saved, SaveNotice notice) {
    const std::filesystem::path file = services.file(name);
    OncePerActionMessages& messages = services.messages;
    if (notice == SaveNotice::Editor) {
        if (saved.copyError)
            messages.message(copyErrorText(file, *saved.copyError), kAppTitle, MessageIcon::Error);
        else if (saved.writeError)
            messages.message(saveErrorText(*saved.writeError), kSaveErrorTitle, MessageIcon::Error);
        else if (saved.keptCopy)
            messages.message(keptCopyText(file, *saved.keptCopy), kAppTitle);
    } else if (saved.writeError && (notice == SaveNotice::Failure ||
                                    (notice == SaveNotice::ForeignLink && saved.writeError->foreignLink))) {
        messages.message(notSavedText(file, *saved.writeError));
    }
}

SaveOutcome saveAndTell(const Services& services, std::string_view name, std::string_view content, bool damaged,
                        SaveNotice notice) {
    const SaveOutcome saved = saveKeepingCopy(services.file(name), content, damaged, services.files);
    tellSaved(services, name, saved, notice);
    return saved;
}

} // namespace krvx
