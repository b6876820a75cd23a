#include "platform/table_file.h"

#include "platform/file_system.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace nw {

std::vector<std::uint8_t> readTableFile(const std::string& folder, std::size_t maxBytes) {
    const std::string path = joinPath(folder, kConvTableFileName);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            // Failing to leave the empty file (a folder owned by root) does
            // not matter.
            const int created = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (created >= 0)
                ::close(created);
        }
        return {};
    }
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 1 << 16> buf;
    while (bytes.size() < maxBytes) {
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes.clear();
            break;
        }
        if (n == 0)
            break;
        bytes.insert(bytes.end(), buf.begin(), buf.begin() + n);
    }
    ::close(fd);
    if (bytes.size() > maxBytes)
        bytes.resize(maxBytes);
    return bytes;
}

} // namespace nw
