#pragma once
// The module Tausch: the credit and resource rate tables, loaded lazily from
// kurse.dat and creditkurse.dat on the first conversion, and the conversions
// between resource amounts and credits.

#include <filesystem>

#include "common/messages.h"

namespace krvx {

class Tausch {
public:
    // Rate files are read from dataDir; loading failures are reported through messages.
    Tausch(std::filesystem::path dataDir, MessageService& messages);

    // (The tables, KurseLaden, KaufUmrechnen and VerkaufUmrechnen follow here.)

private:
    std::filesystem::path dataDir_;
    MessageService& messages_;
};

} // namespace krvx
