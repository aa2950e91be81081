#include "app/ui/ProgramFonts.h"

#include <QFontDatabase>
#include <QString>
#include <QtGlobal>

namespace krvx {

// The fonts are resources of the program (embedded by the Windows build).
void loadProgramFonts() {
    for (const char* face : {"LiberationSans-Regular", "LiberationSans-Bold", "LiberationSerif-Bold"}) {
        const QString resource = QStringLiteral(":/fonts/%1.ttf").arg(QLatin1String(face));
        if (QFontDatabase::addApplicationFont(resource) < 0) {
            // Qt falls back to a face of its choice: the windows still work.
            qWarning("korvax-rechner: font %s could not be loaded", qPrintable(resource));
        }
    }
}

} // namespace krvx
