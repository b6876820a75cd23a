#include "platform/posix_file_system.h"

#include "platform/mounts.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace nw {
namespace {

int renameNoReplace(const char* from, const char* to) {
    return static_cast<int>(
        syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
}

// link() refuses an existing target, so link + unlink never replaces.
FsStatus linkThenUnlink(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0)
        return statusFromErrno(errno);
    if (::unlink(from.c_str()) != 0) {
        const int err = errno;
        ::unlink(to.c_str()); // both names are the same file; drop the new one
        return statusFromErrno(err);
    }
    return {};
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

std::vector<std::string> PosixFileSystem::mounts() { return browsableMounts(); }

FsStatus PosixFileSystem::readFolder(const std::string& folder, std::vector<RawEntry>& out) {
    out.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return statusFromErrno(errno);
    const int fd = ::dirfd(dir);
    errno = 0;
    while (dirent* d = ::readdir(dir)) {
        const char* n = d->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        RawEntry e;
        e.name = n;
        unsigned char type = d->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(fd, n, &st, 0) != 0)
                type = DT_UNKNOWN; // dangling link
            else if (S_ISREG(st.st_mode))
                type = DT_REG;
            else if (S_ISDIR(st.st_mode))
                type = DT_DIR;
            else
                type = DT_UNKNOWN;
        }
        e.kind = type == DT_REG   ? EntryKind::Regular
                 : type == DT_DIR ? EntryKind::Folder
                                  : EntryKind::Special;
        out.push_back(std::move(e));
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0)
        return statusFromErrno(err);
    return {};
}

bool PosixFileSystem::isWritable(const std::string& folder, const std::string& name) {
    return ::faccessat(AT_FDCWD, joinPath(folder, name).c_str(), W_OK, AT_EACCESS) == 0;
}

FsStatus PosixFileSystem::rename(const std::string& folder, const std::string& oldName,
                                 const std::string& newName) {
    const std::string from = joinPath(folder, oldName);
    const std::string to = joinPath(folder, newName);
    if (oldName == newName) {
        // The kernel would answer "exists"; an unchanged name is a success,
        // provided the file is still there.
        struct stat st {};
        if (::lstat(from.c_str(), &st) != 0)
            return statusFromErrno(errno);
        return {};
    }
    if (!m_noReplaceUnsupported && renameNoReplace(from.c_str(), to.c_str()) == 0)
        return {};
    const int err = m_noReplaceUnsupported ? EINVAL : errno;
    if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP) {
        // No RENAME_NOREPLACE on this file system.
        struct stat st {};
        if (::lstat(from.c_str(), &st) != 0)
            return statusFromErrno(errno);
        return linkThenUnlink(from, to);
    }
    if (err == EEXIST && sameFile(from, to)) {
        // The target is the source itself: a change of letter case on a file
        // system that ignores case. Go through a free temporary name so that
        // nothing is ever replaced.
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string tmp =
                joinPath(folder, ".namewright-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(attempt) + ".tmp");
            if (renameNoReplace(from.c_str(), tmp.c_str()) != 0) {
                if (errno == EEXIST)
                    continue;
                return statusFromErrno(errno);
            }
            if (renameNoReplace(tmp.c_str(), to.c_str()) == 0)
                return {};
            const int err2 = errno;
            renameNoReplace(tmp.c_str(), from.c_str());
            return statusFromErrno(err2);
        }
        return statusFromErrno(EEXIST);
    }
    return statusFromErrno(err);
}

bool PosixFileSystem::plainFileExists(const std::string& folder, const std::string& name) {
    if (name.empty() || name[0] == '.')
        return false;
    struct stat st {};
    return ::stat(joinPath(folder, name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace nw
