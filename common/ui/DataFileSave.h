#pragma once
// The one save of a data file from a window, and what the player is told of it.

#include <string_view>

#include "common/backupcopy.h"
#include "common/ui/Services.h"

namespace krvx {

// What a window tells of its file's save.
enum class SaveNotice {
    Quiet, // nothing: a later save tells
    ForeignLink, // a failure only when a link of another user was refused
    Failure, // every failure
    Editor, // the catalogue editor: every failure with its reason, and a copy kept
};

// Tells the player of the save of the named data file as notice says.
void tellSaved(const Services& services, std::string_view name, const SaveOutcome& saved, SaveNotice notice);

// Replaces the named data file by the content, over a file its last load found
// damaged only once a copy of it is kept (saveKeepingCopy), and tells of it.
SaveOutcome saveAndTell(const Services& services, std::string_view name, std::string_view content, bool damaged,
                        SaveNotice notice);

} // namespace krvx
