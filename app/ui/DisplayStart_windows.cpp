// Windows always has a display: the application object is all there is to make.
#include "app/ui/DisplayStart.h"

namespace krvx {

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv) {
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace krvx
