#pragma once

namespace krvx {

// Makes the pictures compiled into the program (":/app/...") available; the
// windows that show them call it before use. Repeated calls are harmless.
void initAppResources();

} // namespace krvx
