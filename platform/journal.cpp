#include "platform/journal.h"

#include "platform/case_map.h"
#include "platform/name_codec.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace nw {
namespace {

constexpr char kMagic[] = "NWJ1\n";
constexpr char kEnd[] = "END\n";
constexpr char kMark[] = "S"; // a rename begun
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr std::size_t kEndSize = sizeof kEnd - 1;

void putNumber(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}
void putField(std::string& out, const std::string& s) {
    putNumber(out, s.size());
    out += s;
}

// Reads what putNumber and putField wrote; fails at the end of the bytes.
class Reader {
public:
    explicit Reader(const std::string& bytes) : m_bytes(bytes) {}
    bool number(std::uint64_t& v) {
        if (m_bytes.size() - m_pos < 8)
            return false;
        v = 0;
        for (int i = 0; i < 8; ++i)
            v |= std::uint64_t(static_cast<unsigned char>(m_bytes[m_pos + std::size_t(i)]))
                 << (8 * i);
        m_pos += 8;
        return true;
    }
    bool field(std::string& s) {
        std::uint64_t n = 0;
        if (!number(n) || m_bytes.size() - m_pos < n)
            return false;
        s = m_bytes.substr(m_pos, n);
        m_pos += n;
        return true;
    }
    bool literal(const char* text, std::size_t size) {
        if (m_bytes.compare(m_pos, size, text, size) != 0)
            return false;
        m_pos += size;
        return true;
    }

private:
    const std::string& m_bytes;
    std::size_t m_pos = 0;
};

struct Journal {
    std::uint64_t pid = 0;
    std::string folder;
    std::uint64_t device = 0, inode = 0;
    std::vector<PlannedRename> plan;
    // The rename the pass had begun last, where its mark reached the file.
    std::optional<PlannedRename> inFlight;
};

// Nothing where the journal is cut short: it was being written when the pass
// was cut off, so no rename had been made yet.
std::optional<Journal> parse(const std::string& bytes) {
    Reader r(bytes);
    Journal j;
    std::uint64_t count = 0;
    if (!r.literal(kMagic, kMagicSize) || !r.number(j.pid) || !r.field(j.folder) ||
        !r.number(j.device) || !r.number(j.inode) || !r.number(count))
        return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i) {
        PlannedRename p;
        if (!r.field(p.oldName) || !r.field(p.newName))
            return std::nullopt;
        j.plan.push_back(std::move(p));
    }
    if (!r.literal(kEnd, kEndSize))
        return std::nullopt;
    for (PlannedRename p; r.literal(kMark, 1) && r.field(p.oldName) && r.field(p.newName);)
        j.inFlight = p;
    return j;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
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

FsStatus makeFolders(const std::string& path) {
    std::string at;
    std::size_t i = 0;
    while (i < path.size()) {
        const std::size_t j = path.find('/', i + 1);
        at = path.substr(0, j == std::string::npos ? path.size() : j);
        if (::mkdir(at.c_str(), 0700) != 0 && errno != EEXIST)
            return statusFromErrno(errno);
        i = j == std::string::npos ? path.size() : j;
    }
    return {};
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

struct Entry {
    bool regular = false;
    std::uint64_t device = 0, inode = 0, links = 0;
    long long size = 0;
};
std::optional<Entry> lookAt(const std::string& folder, const std::string& name) {
    struct stat st {};
    if (::lstat(joinPath(folder, name).c_str(), &st) != 0)
        return std::nullopt;
    return Entry{S_ISREG(st.st_mode), static_cast<std::uint64_t>(st.st_dev),
                 static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint64_t>(st.st_nlink),
                 static_cast<long long>(st.st_size)};
}

bool removeName(const std::string& folder, const std::string& name) {
    return ::unlink(joinPath(folder, name).c_str()) == 0;
}

bool caseOnly(const std::string& a, const std::string& b) {
    return a != b && folded(decodeName(a)) == folded(decodeName(b));
}

// Puts each planned file of one interrupted pass under exactly one name. The
// pass renames one file at a time, so at most one is caught between two
// names: the one its last mark names. Where no mark reached the disk (a power
// cut), every planned rename is looked at, and only what can be told apart
// for certain is changed.
class FolderRecovery {
public:
    FolderRecovery(FileSystem& fs, const Journal& j, RecoveryReport& report)
        : m_fs(fs), m_j(j), m_report(report) {}

    void run() {
        std::vector<RawEntry> raw;
        if (!m_fs.readFolder(m_j.folder, raw).ok()) {
            m_report.waiting.push_back(m_j.folder);
            return;
        }
        for (RawEntry& e : raw)
            m_names.insert(std::move(e.name));
        m_suspects = m_j.inFlight ? std::vector<PlannedRename>{*m_j.inFlight} : m_j.plan;
        for (const PlannedRename& p : m_suspects)
            bothNames(p);
        const std::string prefix = ".namewright-" + std::to_string(m_j.pid) + "-";
        std::vector<std::string> temporaries;
        for (const std::string& n : m_names)
            if (n.rfind(prefix, 0) == 0 && n.size() > 4 && n.compare(n.size() - 4, 4, ".tmp") == 0)
                temporaries.push_back(n);
        for (const std::string& t : temporaries)
            temporary(t);
    }

private:
    bool has(const std::string& n) const { return m_names.count(n) != 0; }
    bool drop(const std::string& n) {
        if (removeName(m_j.folder, n)) {
            m_names.erase(n);
            return true;
        }
        m_report.unresolved.push_back(joinPath(m_j.folder, n));
        return false;
    }

    // Both names at once: a hard link made and the old name not yet removed,
    // or an empty placeholder claimed and not yet renamed onto.
    void bothNames(const PlannedRename& p) {
        if (p.oldName == p.newName || !has(p.oldName) || !has(p.newName))
            return;
        const auto o = lookAt(m_j.folder, p.oldName), n = lookAt(m_j.folder, p.newName);
        // One file under two names only where the file system says so
        // itself: some (FAT through FUSE) number files without meaning.
        if (o && n && o->device == n->device && o->inode == n->inode && o->links > 1) {
            if (drop(p.oldName)) {
                ++m_report.restored;
                ++m_report.secondNames;
            }
        } else if (m_j.inFlight && n && n->regular && n->size == 0) {
            if (drop(p.newName)) {
                ++m_report.restored;
                ++m_report.placeholders;
            }
        } else {
            m_report.unresolved.push_back(joinPath(m_j.folder, p.newName));
        }
    }

    // A change of letter case only goes through a temporary name of ours: the
    // file it holds is the one whose old name is gone and whose new name is
    // free or only an empty placeholder.
    void temporary(const std::string& t) {
        const PlannedRename* owner = nullptr;
        int owners = 0;
        for (const PlannedRename& p : m_suspects) {
            const auto atNew = has(p.newName) ? lookAt(m_j.folder, p.newName) : std::nullopt;
            if (caseOnly(p.oldName, p.newName) && !has(p.oldName) &&
                (!atNew || (m_j.inFlight && atNew->regular && atNew->size == 0))) {
                owner = &p;
                ++owners;
            }
        }
        const auto held = lookAt(m_j.folder, t);
        if (owners == 1 && held && held->regular) {
            if (has(owner->newName)) {
                if (!drop(owner->newName))
                    return;
                ++m_report.placeholders;
            }
            if (m_fs.rename(m_j.folder, t, owner->newName).ok()) {
                m_names.erase(t);
                m_names.insert(owner->newName);
                ++m_report.restored;
                ++m_report.temporaries;
            } else {
                m_report.unresolved.push_back(joinPath(m_j.folder, t));
            }
        } else if (owners == 0 && held && held->regular && held->size == 0) {
            // Claimed for the first step and never filled, or a probe's.
            if (drop(t))
                ++m_report.emptyTemporaries;
        } else {
            m_report.unresolved.push_back(joinPath(m_j.folder, t));
        }
    }

    FileSystem& m_fs;
    const Journal& m_j;
    RecoveryReport& m_report;
    std::set<std::string> m_names; // exactly as spelt in the folder
    std::vector<PlannedRename> m_suspects;
};

std::atomic<int> g_journals{0};

} // namespace

std::string journalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return joinPath(state, "namewright");
    const char* home = std::getenv("HOME");
    return joinPath(home && home[0] == '/' ? home : "/tmp", ".local/state/namewright");
}

std::string temporaryName(long pid, int n) {
    return ".namewright-" + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

PassJournal::PassJournal(PassJournal&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)) {}

PassJournal& PassJournal::operator=(PassJournal&& other) noexcept {
    if (this != &other) {
        finish();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

PassJournal::~PassJournal() { finish(); }

void PassJournal::started(const std::string& oldName, const std::string& newName) {
    if (m_fd < 0)
        return;
    // Not flushed: it only has to outlive the process. After a power cut
    // recovery does without it.
    std::string bytes(kMark, 1);
    putField(bytes, oldName);
    putField(bytes, newName);
    writeAll(m_fd, bytes);
}

void PassJournal::finish() {
    if (m_fd < 0)
        return;
    ::unlink(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
}

FsStatus PassJournal::begin(const std::string& stateFolder, const std::string& folder,
                            const std::vector<PlannedRename>& plan, PassJournal& out) {
    out.finish();
    if (FsStatus st = makeFolders(stateFolder); !st.ok())
        return st;
    struct stat where {};
    if (::stat(folder.c_str(), &where) != 0)
        return statusFromErrno(errno);
    const long pid = static_cast<long>(::getpid());
    const std::string path = joinPath(stateFolder, "pass-" + std::to_string(pid) + "-" +
                                                       std::to_string(++g_journals) + ".journal");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return statusFromErrno(errno);
    ::flock(fd, LOCK_EX);
    std::string bytes(kMagic, kMagicSize);
    putNumber(bytes, static_cast<std::uint64_t>(pid));
    putField(bytes, folder);
    putNumber(bytes, static_cast<std::uint64_t>(where.st_dev));
    putNumber(bytes, static_cast<std::uint64_t>(where.st_ino));
    putNumber(bytes, plan.size());
    for (const PlannedRename& p : plan) {
        putField(bytes, p.oldName);
        putField(bytes, p.newName);
    }
    bytes.append(kEnd, kEndSize);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        const int err = errno;
        ::unlink(path.c_str());
        ::close(fd);
        return statusFromErrno(err ? err : EIO);
    }
    syncFolder(stateFolder);
    out.m_fd = fd;
    out.m_path = path;
    return {};
}

RecoveryReport recoverInterruptedPasses(FileSystem& fs, const std::string& stateFolder) {
    RecoveryReport report;
    DIR* dir = ::opendir(stateFolder.c_str());
    if (!dir)
        return report;
    std::vector<std::string> files;
    while (dirent* d = ::readdir(dir)) {
        const std::string n = d->d_name;
        if (n.size() > 8 && n.compare(n.size() - 8, 8, ".journal") == 0)
            files.push_back(joinPath(stateFolder, n));
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
    for (const std::string& path : files) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A pass that is still running holds the lock.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        std::string bytes;
        const bool read = readAll(fd, bytes);
        const std::optional<Journal> j = read ? parse(bytes) : std::nullopt;
        bool keep = false;
        if (j) {
            struct stat st {};
            if (::stat(j->folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                report.waiting.push_back(j->folder);
                keep = true; // its drive may come back
            } else if (static_cast<std::uint64_t>(st.st_dev) == j->device &&
                       static_cast<std::uint64_t>(st.st_ino) != j->inode) {
                // Another folder now stands at that path: none of its files
                // is touched.
                report.unresolved.push_back(j->folder);
            } else {
                const std::size_t waitingBefore = report.waiting.size();
                FolderRecovery(fs, *j, report).run();
                keep = report.waiting.size() != waitingBefore;
            }
        }
        if (!keep && read)
            ::unlink(path.c_str());
        ::close(fd);
    }
    return report;
}

} // namespace nw
