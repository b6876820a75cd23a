#include "platform/state_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nw {

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool readAll(int fd, std::string& out) {
    char buf[1 << 14];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

FsStatus checkOwnFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return statusFromErrno(errno);
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 022) != 0)
        return FsStatus{FsError::PermissionDenied, EPERM};
    return {};
}

FsStatus makeFolders(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return FsStatus{FsError::NotFound, ENOENT};
    std::string at;
    std::size_t i = 0;
    while (i < path.size()) {
        const std::size_t j = path.find('/', i + 1);
        at = path.substr(0, j == std::string::npos ? path.size() : j);
        if (::mkdir(at.c_str(), 0700) != 0 && errno != EEXIST)
            return statusFromErrno(errno);
        i = j == std::string::npos ? path.size() : j;
    }
    return checkOwnFolder(path);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace nw
