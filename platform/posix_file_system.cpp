#include "platform/posix_file_system.h"

#include "platform/case_map.h"
#include "platform/mounts.h"
#include "platform/name_codec.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace nw {
namespace {

// Answers that mean "this file system cannot do that", as opposed to a real
// reason about this file.
bool unsupported(int err) { return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP; }
bool linksRefused(int err) {
    return unsupported(err) || err == EPERM || err == EMLINK || err == EXDEV;
}

bool sameFile(int dir, const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::fstatat(dir, a.c_str(), &sa, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstatat(dir, b.c_str(), &sb, AT_SYMLINK_NOFOLLOW) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

FileStamp stampOf(const struct stat& st) {
    return FileStamp{static_cast<long long>(st.st_size),
                     static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL +
                         static_cast<long long>(st.st_mtim.tv_nsec)};
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return folded(decodeName(a)) == folded(decodeName(b));
}

// Whether the folder (dir, or the path where dir is AT_FDCWD) holds an entry
// spelt exactly so.
bool folderHolds(int at, const std::string& folder, const std::string& name) {
    DIR* dir = nullptr;
    if (at == AT_FDCWD) {
        dir = ::opendir(folder.c_str());
    } else if (const int fd = ::openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        dir = ::fdopendir(fd);
        if (!dir)
            ::close(fd);
    }
    if (!dir)
        return true; // cannot tell: take the name as taken
    bool found = false;
    while (dirent* d = ::readdir(dir))
        if (name == d->d_name) {
            found = true;
            break;
        }
    ::closedir(dir);
    return found;
}

// Whether newName, refused as taken, is only oldName in other letters on a file
// system that ignores case. Some (exFAT through FUSE) give each spelling its
// own inode number, so the folder's own entries decide there.
bool caseOnlyChange(int dir, const std::string& folder, const std::string& from,
                    const std::string& to, const std::string& oldName, const std::string& newName) {
    if (sameFile(dir, from, to))
        return true;
    return equalIgnoringCase(oldName, newName) && !folderHolds(dir, folder, newName);
}

} // namespace

int RenameCalls::renameNoReplace(int dir, const char* from, const char* to) {
    return static_cast<int>(syscall(SYS_renameat2, dir, from, dir, to, RENAME_NOREPLACE));
}
int RenameCalls::link(int dir, const char* from, const char* to) {
    return ::linkat(dir, from, dir, to, 0);
}
int RenameCalls::unlink(int dir, const char* name) { return ::unlinkat(dir, name, 0); }
int RenameCalls::createExclusive(int dir, const char* name, dev_t& device, ino_t& inode) {
    const int fd = ::openat(dir, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int r = ::fstat(fd, &st);
    ::close(fd);
    device = st.st_dev;
    inode = st.st_ino;
    return r == 0 ? 0 : -1;
}
int RenameCalls::createFolder(int dir, const char* name, dev_t& device, ino_t& inode) {
    if (::mkdirat(dir, name, 0700) != 0)
        return -1;
    struct stat st {};
    const int r = ::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW);
    device = st.st_dev;
    inode = st.st_ino;
    return r == 0 ? 0 : -1;
}
int RenameCalls::removeFolder(int dir, const char* name) {
    return ::unlinkat(dir, name, AT_REMOVEDIR);
}
int RenameCalls::rename(int dir, const char* from, const char* to) {
    return ::renameat(dir, from, dir, to);
}

PosixFileSystem::PosixFileSystem() : m_journalFolder(journalFolder()) {}

PosixFileSystem::~PosixFileSystem() { releaseFolder(); }

FsStatus PosixFileSystem::holdFolder(const std::string& folder, std::optional<FileId> listed) {
    releaseFolder();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return statusFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 ||
        (listed && (listed->device != static_cast<std::uint64_t>(st.st_dev) ||
                    listed->inode != static_cast<std::uint64_t>(st.st_ino)))) {
        ::close(fd);
        return FsStatus{FsError::FolderChanged, 0};
    }
    m_heldFolder = folder;
    m_heldFd = fd;
    m_lastFolder.clear();
    return {};
}

void PosixFileSystem::releaseFolder() {
    if (m_heldFd >= 0)
        ::close(m_heldFd);
    m_heldFd = -1;
    m_heldFolder.clear();
    m_lastFolder.clear();
}

int PosixFileSystem::dirFor(const std::string& folder) const {
    return m_heldFd >= 0 && folder == m_heldFolder ? m_heldFd : AT_FDCWD;
}

std::string PosixFileSystem::nameIn(const std::string& folder, const std::string& name) const {
    return dirFor(folder) == AT_FDCWD ? joinPath(folder, name) : name;
}

std::optional<EntryInfo> PosixFileSystem::entryInfo(const std::string& folder,
                                                    const std::string& name) {
    const int dir = dirFor(folder);
    const std::string at = nameIn(folder, name);
    struct stat st {};
    if (::fstatat(dir, at.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    EntryInfo info;
    info.id = FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    info.stamp = stampOf(st);
    info.links = static_cast<std::uint64_t>(st.st_nlink);
    info.shape.link = S_ISLNK(st.st_mode);
    struct stat target = st;
    if (info.shape.link && ::fstatat(dir, at.c_str(), &target, 0) != 0)
        target.st_mode = 0; // dangling
    info.shape.kind = S_ISREG(target.st_mode)   ? EntryKind::Regular
                      : S_ISDIR(target.st_mode) ? EntryKind::Folder
                                                : EntryKind::Special;
    return info;
}

FsStatus PosixFileSystem::whyMissing(const std::string& folder, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFor(folder), nameIn(folder, name).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return {};
    return statusFromErrno(errno);
}

std::optional<FileId> PosixFileSystem::folderId(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

FsStatus PosixFileSystem::remove(const std::string& folder, const std::string& name) {
    const int dir = dirFor(folder);
    const std::string n = nameIn(folder, name);
    if (::unlinkat(dir, n.c_str(), 0) == 0)
        return {};
    const int err = errno;
    // A folder goes only where it is empty (a folder's placeholder).
    if (err != EISDIR && err != EPERM)
        return statusFromErrno(err);
    if (::unlinkat(dir, n.c_str(), AT_REMOVEDIR) == 0)
        return {};
    return statusFromErrno(errno == ENOTDIR ? err : errno);
}

bool PosixFileSystem::sameContent(const std::string& folder, const std::string& a,
                                  const std::string& b) {
    const int dir = dirFor(folder);
    const int fa = ::openat(dir, nameIn(folder, a).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const int fb =
        fa < 0 ? -1 : ::openat(dir, nameIn(folder, b).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    bool same = fa >= 0 && fb >= 0;
    while (same) {
        char x[1 << 14], y[1 << 14];
        const ssize_t n = ::read(fa, x, sizeof x), m = ::read(fb, y, sizeof y);
        if (n < 0 || m < 0 || n != m || std::memcmp(x, y, static_cast<std::size_t>(n)) != 0)
            same = false;
        else if (n == 0)
            break;
    }
    if (fa >= 0)
        ::close(fa);
    if (fb >= 0)
        ::close(fb);
    return same;
}

bool PosixFileSystem::idsSurviveRename(const std::string& folder) {
    // FUSE drives number files as they please; exfat-fuse gives each
    // spelling of a name its own number.
    constexpr long kFuseMagic = 0x65735546;
    struct statfs fs {};
    const int dir = dirFor(folder);
    const int r = dir == AT_FDCWD ? ::statfs(folder.c_str(), &fs) : ::fstatfs(dir, &fs);
    return r == 0 && static_cast<long>(fs.f_type) != kFuseMagic;
}

bool PosixFileSystem::renamesFolders(const std::string& folder) {
    const dev_t device = deviceOf(folder);
    auto it = m_losesFolders.find(device);
    if (it == m_losesFolders.end()) {
        // fusefat renames a folder's own entry and leaves what it held
        // behind, unreachable: gone once renamed, and after a remount too.
        const std::string type = mountTypeOf(major(device), minor(device));
        it = m_losesFolders.emplace(device, type == "fuse.fusefat").first;
    }
    return !it->second;
}

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
        if (type == DT_UNKNOWN) {
            // Some drives (FUSE) leave the type to a look of its own; a link
            // needs a second one, at what it leads to.
            struct stat own {};
            if (::fstatat(fd, n, &own, AT_SYMLINK_NOFOLLOW) != 0)
                type = DT_UNKNOWN;
            else if (S_ISLNK(own.st_mode))
                type = DT_LNK;
            else
                type = S_ISREG(own.st_mode)   ? DT_REG
                       : S_ISDIR(own.st_mode) ? DT_DIR
                                              : DT_FIFO; // any special file
        }
        e.link = type == DT_LNK;
        if (type == DT_LNK) {
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

dev_t PosixFileSystem::deviceOf(const std::string& folder) {
    if (folder != m_lastFolder) {
        struct stat st {};
        const int dir = dirFor(folder);
        const int r = dir == AT_FDCWD ? ::stat(folder.c_str(), &st) : ::fstat(dir, &st);
        m_lastDevice = r == 0 ? st.st_dev : 0;
        m_lastFolder = folder;
    }
    return m_lastDevice;
}

RenameMethod PosixFileSystem::methodFor(const std::string& folder) const {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return RenameMethod::NoReplace;
    const auto it = m_methods.find(st.st_dev);
    return it == m_methods.end() ? RenameMethod::NoReplace : it->second;
}

// Moves from to to, never replacing; method starts with the one known to work
// and ends with the one that did. EEXIST means the target name is taken. A
// failure that leaves the file under a second name, or an empty placeholder,
// says so in putBackError and leftAs.
FsStatus PosixFileSystem::move(int dir, const std::string& from, const std::string& to,
                               RenameMethod& method) {
    RenameCalls& sys = calls();
    if (method == RenameMethod::NoReplace) {
        if (!m_noReplaceUnsupported && sys.renameNoReplace(dir, from.c_str(), to.c_str()) == 0)
            return {};
        const int err = m_noReplaceUnsupported ? EINVAL : errno;
        if (!unsupported(err))
            return statusFromErrno(err);
        method = RenameMethod::Link;
    }
    if (method == RenameMethod::Link) {
        // link() refuses an existing target, so link + unlink never replaces.
        if (sys.link(dir, from.c_str(), to.c_str()) == 0) {
            if (sys.unlink(dir, from.c_str()) != 0) {
                FsStatus st = statusFromErrno(errno);
                // Both names are the same file; drop the new one.
                if (sys.unlink(dir, to.c_str()) != 0) {
                    st.putBackError = errno;
                    st.leftAs = to;
                }
                return st;
            }
            return {};
        }
        const int err = errno;
        if (!linksRefused(err))
            return statusFromErrno(err);
        // A folder is never linked: it alone goes by a placeholder, and files
        // go on being linked.
        struct stat st {};
        if (::fstatat(dir, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
            method = RenameMethod::Placeholder;
    }
    // Claim the new name with an empty file that only we can have made, then
    // rename onto it: what is replaced is our own placeholder. A folder
    // claims it with an empty folder, which a folder renamed onto replaces.
    // The source is looked at first, and again once the name is claimed: a
    // file deleted meanwhile must not leave the placeholder in its place,
    // which on a drive that ignores case the old name would then find.
    struct stat source {};
    if (::fstatat(dir, from.c_str(), &source, AT_SYMLINK_NOFOLLOW) != 0)
        return statusFromErrno(errno);
    const bool folder = S_ISDIR(source.st_mode);
    dev_t device = 0;
    ino_t inode = 0;
    if ((folder ? sys.createFolder(dir, to.c_str(), device, inode)
                : sys.createExclusive(dir, to.c_str(), device, inode)) != 0)
        return statusFromErrno(errno);
    // Takes the placeholder away again; a placeholder that cannot be taken
    // away, or no longer be told for ours, is named.
    auto withdraw = [&](FsStatus st) {
        struct stat now {};
        if (::fstatat(dir, to.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                st.putBackError = errno;
                st.leftAs = to;
            }
        } else if (now.st_dev == device && now.st_ino == inode &&
                   (folder             ? sys.removeFolder(dir, to.c_str())
                    : now.st_size == 0 ? sys.unlink(dir, to.c_str())
                                       : 0) != 0) {
            st.putBackError = errno;
            st.leftAs = to;
        }
        return st;
    };
    struct stat again {};
    if (::fstatat(dir, from.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0)
        return withdraw(statusFromErrno(errno));
    if ((again.st_dev == device && again.st_ino == inode) || !(stampOf(again) == stampOf(source)))
        return withdraw(FsStatus{FsError::NotFound, ENOENT});
    if (sys.rename(dir, from.c_str(), to.c_str()) == 0)
        return {};
    FsStatus st = withdraw(statusFromErrno(errno));
    // Some drives (FAT through fusefat) never rename a folder onto another,
    // even an empty one. With the claim taken away again, the folder moves
    // to the free name itself: a folder renamed can replace nothing but an
    // empty folder, never a file nor what a folder holds.
    struct stat there {};
    if (folder && st.leftAs.empty() &&
        ::fstatat(dir, to.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT &&
        sys.rename(dir, from.c_str(), to.c_str()) == 0)
        return {};
    return st;
}

const PosixFileSystem::Traits& PosixFileSystem::traitsOf(const std::string& folder) {
    const dev_t device = deviceOf(folder);
    if (const auto it = m_traits.find(device); it != m_traits.end())
        return it->second;
    Traits t;
    // Temporary names of ours, which recovery knows; the first in capitals.
    const long pid = static_cast<long>(::getpid());
    const std::string a = joinPath(folder, temporaryName(pid, -1));
    const std::string b = joinPath(folder, temporaryName(pid, -2));
    const std::string upperA =
        joinPath(folder, encodeName(upper(decodeName(temporaryName(pid, -1)))));
    // Journalled like a pass, so that a probe cut off leaves nothing behind.
    PassJournal probe;
    PassJournal::begin(m_journalFolder, folder, {}, probe, idsSurviveRename(folder));
    const int fd = ::open(a.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Nothing can be renamed here either; ask again another time.
        static const Traits unknown;
        return unknown;
    }
    ::close(fd);
    struct stat st {};
    t.ignoresCase = ::lstat(upperA.c_str(), &st) == 0;
    RenameMethod method = m_methods.count(device) ? m_methods[device] : RenameMethod::NoReplace;
    if (method == RenameMethod::NoReplace && !m_noReplaceUnsupported &&
        calls().renameNoReplace(AT_FDCWD, a.c_str(), b.c_str()) == 0) {
        ::rename(b.c_str(), a.c_str());
    } else if (method != RenameMethod::Placeholder && ::link(a.c_str(), b.c_str()) == 0) {
        method = RenameMethod::Link;
        ::unlink(b.c_str());
    } else {
        method = RenameMethod::Placeholder;
    }
    ::unlink(a.c_str());
    t.method = method;
    if (method != RenameMethod::NoReplace)
        m_methods[device] = method;
    return m_traits[device] = t;
}

bool PosixFileSystem::needsJournal(const std::string& folder) {
    const Traits& t = traitsOf(folder);
    return t.method != RenameMethod::NoReplace || t.ignoresCase;
}

bool PosixFileSystem::ignoresCase(const std::string& folder) {
    return traitsOf(folder).ignoresCase;
}

FsStatus PosixFileSystem::beginPass(const std::string& folder,
                                    const std::vector<PlannedRename>& plan,
                                    const std::string& tool) {
    if (plan.empty() || !needsJournal(folder))
        return {};
    const std::optional<FileId> id = folderId(folder);
    if (!id)
        return FsStatus{FsError::NotFound, ENOENT};
    return PassJournal::begin(m_journalFolder, folder, *id, plan, m_journal,
                              idsSurviveRename(folder), tool);
}

void PosixFileSystem::endPass(bool clean) { m_journal.finish(clean); }

RecoveryReport PosixFileSystem::recoverInterruptedPasses() {
    return nw::recoverInterruptedPasses(*this, m_journalFolder);
}

FsStatus PosixFileSystem::rename(const std::string& folder, const std::string& oldName,
                                 const std::string& newName) {
    const int dir = dirFor(folder);
    const std::string from = nameIn(folder, oldName);
    const std::string to = nameIn(folder, newName);
    if (oldName == newName) {
        // The kernel would answer "exists"; an unchanged name is a success,
        // provided the file is still there.
        struct stat st {};
        if (::fstatat(dir, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return statusFromErrno(errno);
        return {};
    }
    if (FsStatus marked = m_journal.started(oldName, newName); !marked.ok())
        return marked;
    const dev_t device = deviceOf(folder);
    const auto known = m_methods.find(device);
    RenameMethod method = known == m_methods.end() ? RenameMethod::NoReplace : known->second;
    // Each step, with the method it found to work remembered and what it left
    // behind named by its full path.
    auto step = [&](const std::string& a, const std::string& b) {
        FsStatus st = move(dir, a, b, method);
        if (method != RenameMethod::NoReplace)
            m_methods[device] = method;
        if (!st.leftAs.empty() && dir != AT_FDCWD)
            st.leftAs = joinPath(folder, st.leftAs);
        return st;
    };

    FsStatus result = step(from, to);
    if (result.sysError != EEXIST || !caseOnlyChange(dir, folder, from, to, oldName, newName))
        return result;
    // The target is the source itself: a change of letter case on a file
    // system that ignores case. Go through a free temporary name in the same
    // folder, and put the old name back if the second step fails. Names of
    // our own left by earlier runs are passed over; so many of them mean
    // something else is wrong.
    constexpr int kTemporaryNameTries = 100;
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        const std::string tmp =
            nameIn(folder, temporaryName(static_cast<long>(::getpid()), attempt));
        FsStatus first = step(from, tmp);
        if (first.sysError == EEXIST && first.putBackError == 0)
            continue;
        if (!first.ok())
            return first;
        FsStatus second = step(tmp, to);
        if (!second.ok()) {
            const FsStatus back = step(tmp, from);
            if (!back.ok()) {
                second.putBackError = back.sysError;
                second.leftAs = dir == AT_FDCWD ? tmp : joinPath(folder, tmp);
            }
        }
        return second;
    }
    return statusFromErrno(EEXIST);
}

std::optional<FileId> PosixFileSystem::fileId(const std::string& folder, const std::string& name) {
    struct stat st {};
    if (::stat(joinPath(folder, name).c_str(), &st) != 0)
        return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool PosixFileSystem::regularFileExists(const std::string& folder, const std::string& name) {
    struct stat st {};
    return ::stat(joinPath(folder, name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace nw
