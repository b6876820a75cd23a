#include "platform/posix_file_system.h"

#include "platform/case_map.h"
#include "platform/mounts.h"
#include "platform/name_codec.h"

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

// Answers that mean "this file system cannot do that", as opposed to a real
// reason about this file.
bool unsupported(int err) { return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP; }
bool linksRefused(int err) {
    return unsupported(err) || err == EPERM || err == EMLINK || err == EXDEV;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return folded(decodeName(a)) == folded(decodeName(b));
}

bool folderHolds(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
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
bool caseOnlyChange(const std::string& folder, const std::string& oldName,
                    const std::string& newName) {
    const std::string from = joinPath(folder, oldName), to = joinPath(folder, newName);
    if (sameFile(from, to))
        return true;
    return equalIgnoringCase(oldName, newName) && !folderHolds(folder, newName);
}

} // namespace

int RenameCalls::renameNoReplace(const char* from, const char* to) {
    return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
}
int RenameCalls::link(const char* from, const char* to) { return ::link(from, to); }
int RenameCalls::unlink(const char* path) { return ::unlink(path); }
int RenameCalls::createExclusive(const char* path, dev_t& device, ino_t& inode) {
    const int fd = ::open(path, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int r = ::fstat(fd, &st);
    ::close(fd);
    device = st.st_dev;
    inode = st.st_ino;
    return r == 0 ? 0 : -1;
}
int RenameCalls::rename(const char* from, const char* to) { return ::rename(from, to); }

PosixFileSystem::PosixFileSystem() : m_journalFolder(journalFolder()) {}

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

dev_t PosixFileSystem::deviceOf(const std::string& folder) {
    if (folder != m_lastFolder) {
        struct stat st {};
        m_lastDevice = ::stat(folder.c_str(), &st) == 0 ? st.st_dev : 0;
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
FsStatus PosixFileSystem::move(const std::string& from, const std::string& to,
                               RenameMethod& method) {
    RenameCalls& sys = calls();
    if (method == RenameMethod::NoReplace) {
        if (!m_noReplaceUnsupported && sys.renameNoReplace(from.c_str(), to.c_str()) == 0)
            return {};
        const int err = m_noReplaceUnsupported ? EINVAL : errno;
        if (!unsupported(err))
            return statusFromErrno(err);
        method = RenameMethod::Link;
    }
    if (method == RenameMethod::Link) {
        // link() refuses an existing target, so link + unlink never replaces.
        if (sys.link(from.c_str(), to.c_str()) == 0) {
            if (sys.unlink(from.c_str()) != 0) {
                FsStatus st = statusFromErrno(errno);
                // Both names are the same file; drop the new one.
                if (sys.unlink(to.c_str()) != 0) {
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
        method = RenameMethod::Placeholder;
    }
    // Claim the new name with an empty file that only we can have made, then
    // rename onto it: what is replaced is our own placeholder.
    dev_t device = 0;
    ino_t inode = 0;
    if (sys.createExclusive(to.c_str(), device, inode) != 0)
        return statusFromErrno(errno);
    if (sys.rename(from.c_str(), to.c_str()) == 0)
        return {};
    FsStatus st = statusFromErrno(errno);
    struct stat now {};
    if (::lstat(to.c_str(), &now) == 0 && now.st_dev == device && now.st_ino == inode &&
        now.st_size == 0 && sys.unlink(to.c_str()) != 0) {
        st.putBackError = errno;
        st.leftAs = to;
    }
    return st;
}

const PosixFileSystem::Traits& PosixFileSystem::traitsOf(const std::string& folder) {
    const dev_t device = deviceOf(folder);
    if (const auto it = m_traits.find(device); it != m_traits.end())
        return it->second;
    Traits t;
    const long pid = static_cast<long>(::getpid());
    const std::string a = joinPath(folder, ".namewright-" + std::to_string(pid) + "-probe.tmp");
    const std::string b = joinPath(folder, ".namewright-" + std::to_string(pid) + "-probe2.tmp");
    const std::string upperA =
        joinPath(folder, ".NAMEWRIGHT-" + std::to_string(pid) + "-PROBE.TMP");
    // Journalled like a pass, so that a probe cut off leaves nothing behind.
    PassJournal probe;
    PassJournal::begin(m_journalFolder, folder, {}, probe);
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
        calls().renameNoReplace(a.c_str(), b.c_str()) == 0) {
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
                                    const std::vector<PlannedRename>& plan) {
    if (plan.empty() || !needsJournal(folder))
        return {};
    return PassJournal::begin(m_journalFolder, folder, plan, m_journal);
}

void PosixFileSystem::endPass() { m_journal.finish(); }

RecoveryReport PosixFileSystem::recoverInterruptedPasses() {
    return nw::recoverInterruptedPasses(*this, m_journalFolder);
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
    m_journal.started(oldName, newName);
    const dev_t device = deviceOf(folder);
    const auto known = m_methods.find(device);
    RenameMethod method = known == m_methods.end() ? RenameMethod::NoReplace : known->second;
    auto remember = [&] {
        if (method != RenameMethod::NoReplace)
            m_methods[device] = method;
    };

    FsStatus result = move(from, to, method);
    remember();
    if (result.sysError != EEXIST || !caseOnlyChange(folder, oldName, newName))
        return result;
    // The target is the source itself: a change of letter case on a file
    // system that ignores case. Go through a free temporary name in the same
    // folder, and put the old name back if the second step fails.
    // Names of our own left by earlier runs are passed over; so many of them
    // mean something else is wrong.
    constexpr int kTemporaryNameTries = 100;
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        const std::string tmp =
            joinPath(folder, temporaryName(static_cast<long>(::getpid()), attempt));
        FsStatus first = move(from, tmp, method);
        remember();
        if (first.sysError == EEXIST && first.putBackError == 0)
            continue;
        if (!first.ok())
            return first;
        FsStatus second = move(tmp, to, method);
        remember();
        if (!second.ok()) {
            FsStatus back = move(tmp, from, method);
            remember();
            if (!back.ok()) {
                second.putBackError = back.sysError;
                second.leftAs = tmp;
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

bool PosixFileSystem::plainFileExists(const std::string& folder, const std::string& name) {
    if (isHiddenName(name))
        return false;
    struct stat st {};
    return ::stat(joinPath(folder, name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace nw
