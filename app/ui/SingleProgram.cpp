#include "app/ui/SingleProgram.h"

#include <QCryptographicHash>
#include <system_error>

#include "common/paths.h"

namespace krvx {

QString SingleProgram::folderKey(const std::filesystem::path& dataDir) {
    std::error_code error;
    std::filesystem::path real = std::filesystem::weakly_canonical(std::filesystem::absolute(dataDir, error), error);
    if (error) real = dataDir;
    const QByteArray utf8 = QString::fromStdString(utf8Of(real)).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toHex().left(16));
}

} // namespace krvx
