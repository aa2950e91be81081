#include "app/ui/AllWindows.h"

namespace krvx {

void registerAllWindows(WindowRegistry& registry, Services& services) {
    // One line per window: registry.registerWindow("Name", [&services] { return new Window(services); });
    (void)registry;
    (void)services;
}

} // namespace krvx
