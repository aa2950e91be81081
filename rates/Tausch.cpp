#include "rates/Tausch.h"

#include <utility>

namespace krvx {

Tausch::Tausch(std::filesystem::path dataDir, MessageService& messages)
    : dataDir_(std::move(dataDir)), messages_(messages) {}

} // namespace krvx
