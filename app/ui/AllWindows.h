#pragma once
// The table of every window of the program: its name, how it is made and its
// place in the menu's shut-down.

#include <QStringList>

#include "common/ui/Services.h"
#include "common/ui/WindowNames.h"
#include "common/ui/WindowRegistry.h"

namespace krvx {

// Registers the factory of every window that the menu and the other windows open by name.
void registerAllWindows(WindowRegistry& registry, Services& services);

// Every window: the menu first, then the others in shut-down order.
const QStringList& allWindowNames();

// The windows the menu's shut-down asks and then closes, in this order,
// before the log is closed: every window but the menu.
const QStringList& shutDownOrder();

} // namespace krvx
