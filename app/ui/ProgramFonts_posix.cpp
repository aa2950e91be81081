#include "app/ui/ProgramFonts.h"

namespace krvx {

// The system's fontconfig finds the Liberation fonts.
void loadProgramFonts() {}

} // namespace krvx
