#include "platform/ordinary_file.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumo::platform {

bool isOrdinaryFile(const std::u16string &path)
{
    return !path.empty() && QFileInfo(QString::fromStdU16String(path)).isFile();
}

std::optional<std::string> readRegularFile(const std::u16string &path, std::int64_t maxBytes)
{
    const int fd = ::open(QFile::encodeName(QString::fromStdU16String(path)).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<std::string> content;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= maxBytes) {
        content.emplace();
        char buffer[64 * 1024];
        for (ssize_t read; (read = ::read(fd, buffer, sizeof buffer)) != 0;) {
            if (read < 0 || std::int64_t(content->size()) + read > maxBytes) { // a file that grows meanwhile counts too
                content.reset();
                break;
            }
            content->append(buffer, read);
        }
    }
    ::close(fd);
    return content;
}

} // namespace vellumo::platform
