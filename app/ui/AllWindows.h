#pragma once

#include "common/ui/Services.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

// Registers the factory of every window that the menu and the other windows open by name.
void registerAllWindows(WindowRegistry& registry, Services& services);

} // namespace krvx
