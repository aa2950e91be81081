#include "app/ui/AppResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace.
static void initAppResourcesOutsideNamespace() { Q_INIT_RESOURCE(app); }

namespace krvx {

void initAppResources() { initAppResourcesOutsideNamespace(); }

} // namespace krvx
