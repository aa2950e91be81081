#include "common/appendfile.h"

#include <fcntl.h>

#include "common/cp1252.h"

namespace krvx {

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const std::filesystem::path& file)
{
    close();
    fd_ = ops_.open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    return fd_ >= 0;
}

bool AppendFile::isOpen() const
{
    return fd_ >= 0;
}

bool AppendFile::write(std::string_view utf8)
{
    return fd_ >= 0 && writeAll(ops_, fd_, utf8ToCp1252(utf8));
}

void AppendFile::close()
{
    if (fd_ >= 0) {
        ops_.close(fd_);
        fd_ = -1;
    }
}

} // namespace krvx
