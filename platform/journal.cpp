#include "platform/journal.h"

#include "platform/record_bytes.h"
#include "platform/state_files.h"

#include "platform/case_map.h"
#include "platform/name_codec.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace nw {
namespace {

constexpr char kMagic[] = "NWJ3\n";
constexpr char kMagicUntold[] = "NWJ2\n"; // before journals named their tool
constexpr char kEnd[] = "END\n";
constexpr char kMark[] = "S"; // a rename begun
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr std::size_t kEndSize = sizeof kEnd - 1;
constexpr char kJournalSuffix[] = ".journal";
constexpr char kNewSuffix[] = ".new";      // a journal still being written
constexpr char kDamagedSuffix[] = ".kept"; // set aside, never acted on

bool endsWith(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return s.size() > n && s.compare(s.size() - n, n, tail) == 0;
}

// The check a mark carries: of its names, tied to its journal's plan.
std::uint64_t markCheck(const std::string& oldName, const std::string& newName,
                        std::uint64_t planSum) {
    std::uint64_t h = checksum(oldName.data(), oldName.size(), planSum);
    h = checksum("/", 1, h); // "/" is in no name: the two cannot run together
    return checksum(newName.data(), newName.size(), h);
}

// A journal as read, with the check of its plan that its marks carry.
struct Journal : JournalContents {
    std::uint64_t planSum = 0;
};

// What a journal says, or why it cannot be trusted. Where the folder could be
// read, it is given even for a damaged journal, so the user can be told.
struct Parsed {
    std::optional<Journal> journal;
    std::string folder;
};

Parsed parse(const std::string& bytes) {
    Parsed out;
    RecordReader r(bytes);
    Journal j;
    std::uint64_t flags = 0, count = 0;
    const bool told = r.literal(kMagic, kMagicSize);
    if ((!told && !r.literal(kMagicUntold, kMagicSize)) || !r.number(j.pid) || !r.number(flags) ||
        (told && !r.field(j.tool)) || !r.field(j.folder))
        return out;
    if (safeRecordFolder(j.folder))
        out.folder = j.folder;
    j.idsStable = (flags & 1) != 0;
    if (!r.number(j.folderId.device) || !r.number(j.folderId.inode) || !r.number(count))
        return out;
    for (std::uint64_t i = 0; i < count; ++i) {
        PlannedRename p;
        if (!r.field(p.oldName) || !r.field(p.newName))
            return out;
        j.plan.push_back(std::move(p));
    }
    const std::size_t summed = r.pos();
    std::uint64_t sum = 0;
    if (!r.number(sum) || sum != checksum(bytes.data(), summed) || !r.literal(kEnd, kEndSize))
        return out;
    j.planSum = sum;
    if (!safeRecordFolder(j.folder))
        return out;
    for (const PlannedRename& p : j.plan)
        if (!safeRecordName(p.oldName) || !safeRecordName(p.newName))
            return out;
    // Marks are only hints: one that is torn or does not check ends them.
    for (;;) {
        PlannedRename p;
        std::uint64_t check = 0;
        if (!r.literal(kMark, 1) || !r.field(p.oldName) || !r.field(p.newName) ||
            !r.number(check) || check != markCheck(p.oldName, p.newName, sum) ||
            !safeRecordName(p.oldName) || !safeRecordName(p.newName))
            break;
        j.marks.push_back(std::move(p));
    }
    out.journal = std::move(j);
    return out;
}

// A journal's plan, checked and ended, with the check its marks carry.
std::string planBytes(const JournalContents& j, std::uint64_t& sum) {
    std::string bytes(kMagic, kMagicSize);
    putNumber(bytes, j.pid);
    putNumber(bytes, j.idsStable ? 1 : 0);
    putField(bytes, j.tool);
    putField(bytes, j.folder);
    putNumber(bytes, j.folderId.device);
    putNumber(bytes, j.folderId.inode);
    putNumber(bytes, j.plan.size());
    for (const PlannedRename& p : j.plan) {
        putField(bytes, p.oldName);
        putField(bytes, p.newName);
    }
    sum = checksum(bytes.data(), bytes.size());
    putNumber(bytes, sum);
    bytes.append(kEnd, kEndSize);
    return bytes;
}

std::string markBytes(const PlannedRename& p, std::uint64_t planSum) {
    std::string bytes(kMark, 1);
    putField(bytes, p.oldName);
    putField(bytes, p.newName);
    putNumber(bytes, markCheck(p.oldName, p.newName, planSum));
    return bytes;
}

bool caseOnly(const std::string& a, const std::string& b) {
    return a != b && folded(decodeName(a)) == folded(decodeName(b));
}

// Puts each planned file of one interrupted pass under exactly one name,
// settling every planned rename from what is on disk. The marks only hint
// which rename was in flight: a second name is removed only where the rename
// may have been in flight (named by the last whole mark, the one planned
// after it, or the first not yet made); elsewhere what cannot be told apart
// for certain is left and named.
class FolderRecovery {
public:
    FolderRecovery(FileSystem& fs, const Journal& j, RecoveryReport& report)
        : m_fs(fs), m_j(j), m_report(report) {}

    // false: the folder could not be read, or a step of recovery failed; the
    // journal is kept so that it is tried again.
    bool run() {
        std::vector<RawEntry> raw;
        if (!m_fs.readFolder(m_j.folder, raw).ok()) {
            m_report.waiting.push_back(m_j.folder);
            return false;
        }
        for (RawEntry& e : raw)
            m_names.insert(std::move(e.name));
        if (!m_j.marks.empty()) {
            m_inFlight = &m_j.marks.back();
            for (std::size_t i = 0; i + 1 < m_j.plan.size(); ++i)
                if (m_j.plan[i].oldName == m_inFlight->oldName &&
                    m_j.plan[i].newName == m_inFlight->newName) {
                    m_next = &m_j.plan[i + 1];
                    break;
                }
        }
        for (const PlannedRename& p : m_j.plan)
            if (p.oldName != p.newName && has(p.oldName)) {
                m_firstUndone = &p;
                break;
            }
        std::set<std::pair<std::string, std::string>> seen;
        for (const std::vector<PlannedRename>* list : {&m_j.plan, &m_j.marks})
            for (const PlannedRename& p : *list)
                if (seen.emplace(p.oldName, p.newName).second)
                    m_suspects.push_back(p);
        for (const PlannedRename& p : m_suspects)
            bothNames(p);
        std::vector<std::string> temporaries;
        for (const std::string& n : m_names)
            if (isTemporaryName(n, static_cast<long>(m_j.pid)))
                temporaries.push_back(n);
        for (const std::string& t : temporaries)
            temporary(t);
        return !m_failed;
    }
    bool ambiguous() const { return m_ambiguous; }

    // The renames the pass had made, as the folder shows them now it is
    // settled. Each was marked before it began, in order; going back from
    // the last, a rename was made where its new name stands and its old one
    // does not, and before it the folder held the old one. A mark whose
    // rename was refused (the name taken) or never reached leaves no trace.
    std::vector<PlannedRename> made() const {
        std::set<std::string> names = m_names;
        std::vector<PlannedRename> out;
        for (auto it = m_j.marks.rbegin(); it != m_j.marks.rend(); ++it) {
            const PlannedRename& p = *it;
            if (p.oldName == p.newName || !names.count(p.newName) || names.count(p.oldName))
                continue;
            names.erase(p.newName);
            names.insert(p.oldName);
            out.push_back(p);
        }
        std::reverse(out.begin(), out.end());
        return out;
    }

private:
    bool has(const std::string& n) const { return m_names.count(n) != 0; }
    bool inFlight(const PlannedRename& p) const {
        return m_inFlight && m_inFlight->oldName == p.oldName && m_inFlight->newName == p.newName;
    }
    // The rename the last whole mark names, or the planned one after it
    // (whose mark may have been cut off); any, where no mark reached the
    // disk (a power cut).
    // The pass goes in the plan's order, so the first planned rename whose
    // old name is still there is the one it had reached, whatever the marks.
    bool mayBeInFlight(const PlannedRename& p) const {
        if (!m_inFlight || inFlight(p))
            return true;
        auto same = [&](const PlannedRename* q) {
            return q && q->oldName == p.oldName && q->newName == p.newName;
        };
        return same(m_next) || same(m_firstUndone);
    }
    std::string path(const std::string& n) const { return joinPath(m_j.folder, n); }
    void unresolved(const std::string& n) {
        m_report.unresolved.push_back(path(n));
        m_ambiguous = true;
    }
    // The entry itself, never what a link leads to.
    std::optional<EntryInfo> look(const std::string& n) const {
        return m_fs.entryInfo(m_j.folder, n);
    }
    static bool regular(const EntryInfo& e) {
        return e.shape.kind == EntryKind::Regular && !e.shape.link;
    }
    static bool folder(const EntryInfo& e) {
        return e.shape.kind == EntryKind::Folder && !e.shape.link;
    }
    // Only a claim of a name: an empty file, or for a folder an empty folder.
    bool emptyClaim(const std::string& n, const EntryInfo& e) const {
        if (regular(e))
            return e.stamp.size == 0;
        std::vector<RawEntry> raw;
        return folder(e) && m_fs.readFolder(path(n), raw).ok() && raw.empty();
    }
    bool drop(const std::string& n) {
        if (m_fs.remove(m_j.folder, n).ok()) {
            m_names.erase(n);
            return true;
        }
        m_report.unresolved.push_back(path(n));
        m_failed = true;
        return false;
    }

    // Both names at once: a second name made and the old name not yet
    // removed, or an empty placeholder claimed and not yet renamed onto.
    // The plan's new names were free when it was made, so both names of one
    // rename mean that rename was begun; which one was in flight decides.
    void bothNames(const PlannedRename& p) {
        if (p.oldName == p.newName || !has(p.oldName) || !has(p.newName))
            return;
        const auto o = look(p.oldName), n = look(p.newName);
        if (o && n && folder(*o) && folder(*n)) {
            // A folder's new name claimed by an empty folder of the pass.
            if (!emptyClaim(p.newName, *n)) {
                if (inFlight(p))
                    unresolved(p.newName);
            } else if (!mayBeInFlight(p)) {
                unresolved(p.newName);
            } else if (drop(p.newName)) {
                ++m_report.restored;
                ++m_report.placeholders;
            }
            return;
        }
        if (!o || !n || !regular(*o) || !regular(*n)) {
            if (inFlight(p))
                unresolved(p.newName);
            return;
        }
        // One file under two names where the drive says so itself, or where
        // it shows a second name as a file of its own (sshfs: one link, two
        // numbers) with the same size, time and bytes.
        const bool linked = o->id == n->id && o->links > 1;
        const bool twin = !linked && o->stamp == n->stamp && (o->stamp.size > 0 || inFlight(p)) &&
                          m_fs.sameContent(m_j.folder, p.oldName, p.newName);
        const bool placeholder = !linked && !twin && n->stamp.size == 0;
        if (!linked && !twin && !placeholder)
            return; // two files of their own: the pass had not reached this one
        if (!mayBeInFlight(p)) {
            unresolved(p.newName); // looks begun, yet no mark says so
        } else if (placeholder) {
            if (drop(p.newName)) {
                ++m_report.restored;
                ++m_report.placeholders;
            }
        } else if (drop(p.oldName)) {
            ++m_report.restored;
            ++m_report.secondNames;
        }
    }

    // A change of letter case only goes through a temporary name of ours: the
    // file it holds is the one whose old name is gone and whose new name is
    // free or only the placeholder of the rename in flight.
    void temporary(const std::string& t) {
        const PlannedRename* owner = nullptr;
        int owners = 0;
        for (const PlannedRename& p : m_suspects) {
            const auto atNew = has(p.newName) ? look(p.newName) : std::nullopt;
            if (caseOnly(p.oldName, p.newName) && !has(p.oldName) &&
                (!atNew || (mayBeInFlight(p) && emptyClaim(p.newName, *atNew)))) {
                owner = &p;
                ++owners;
            }
        }
        const auto held = look(t);
        if (owners == 1 && held && (regular(*held) || folder(*held))) {
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
                m_report.unresolved.push_back(path(t));
                m_failed = true;
            }
        } else if (owners == 0 && held && emptyClaim(t, *held)) {
            // Claimed for the first step and never filled, or a probe's.
            if (drop(t))
                ++m_report.emptyTemporaries;
        } else {
            unresolved(t);
        }
    }

    FileSystem& m_fs;
    const Journal& m_j;
    RecoveryReport& m_report;
    std::set<std::string> m_names; // exactly as spelt in the folder
    std::vector<PlannedRename> m_suspects;
    const PlannedRename* m_inFlight = nullptr;
    const PlannedRename* m_next = nullptr;
    const PlannedRename* m_firstUndone = nullptr;
    bool m_failed = false, m_ambiguous = false;
};

// Global, as the process number in a journal's name is: several file systems
// of one process (a pass and a probe) must never pick the same name.
std::atomic<int> g_journals{0};

// Moves a journal out of recovery's way under a name of its own, and says so.
void setAside(const std::string& path, const std::string& folder, RecoveryReport& report) {
    std::string kept = path + kDamagedSuffix;
    for (int i = 1; ::access(kept.c_str(), F_OK) == 0; ++i)
        kept = path + "." + std::to_string(i) + kDamagedSuffix;
    if (::rename(path.c_str(), kept.c_str()) != 0)
        kept = path; // left where it is: it is reported all the same
    report.setAside.push_back(RecoveryReport::SetAside{folder, kept});
}

} // namespace

std::string journalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return joinPath(state, "namewright");
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0] == '/')
        home = h;
    else if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        home = pw->pw_dir;
    // Never a folder shared with other users: without a home, no journal.
    return home.empty() ? std::string() : joinPath(home, ".local/state/namewright");
}

namespace {
constexpr char kTemporaryPrefix[] = ".namewright-";
constexpr char kTemporarySuffix[] = ".tmp";
} // namespace

std::string temporaryName(long pid, int n) {
    return kTemporaryPrefix + std::to_string(pid) + "-" + std::to_string(n) + kTemporarySuffix;
}

bool isTemporaryName(const std::string& name, long pid) {
    const std::string head = kTemporaryPrefix + std::to_string(pid) + "-";
    const std::size_t tail = std::strlen(kTemporarySuffix);
    if (name.size() <= head.size() + tail || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail, tail, kTemporarySuffix) != 0)
        return false;
    // The drive's probe counts down from -1, a pass up from 0.
    std::string n = name.substr(head.size(), name.size() - head.size() - tail);
    if (n.size() > 1 && n[0] == '-')
        n.erase(0, 1);
    return !n.empty() && n.find_first_not_of("0123456789") == std::string::npos;
}

std::string journalBytes(const JournalContents& j) {
    std::uint64_t sum = 0;
    std::string bytes = planBytes(j, sum);
    for (const PlannedRename& m : j.marks)
        bytes += markBytes(m, sum);
    return bytes;
}

std::optional<JournalContents> readJournal(const std::string& bytes, std::string* folder) {
    Parsed parsed = parse(bytes);
    if (folder)
        *folder = parsed.folder;
    if (!parsed.journal)
        return std::nullopt;
    return static_cast<JournalContents>(std::move(*parsed.journal));
}

PassJournal::PassJournal(PassJournal&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)),
      m_planSum(other.m_planSum) {}

PassJournal& PassJournal::operator=(PassJournal&& other) noexcept {
    if (this != &other) {
        finish();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_planSum = other.m_planSum;
    }
    return *this;
}

PassJournal::~PassJournal() { finish(); }

FsStatus PassJournal::started(const std::string& oldName, const std::string& newName) {
    if (m_fd < 0)
        return {};
    // Not flushed: it only has to outlive the process. After a power cut
    // recovery does without it.
    const std::string bytes = markBytes({oldName, newName}, m_planSum);
    const off_t at = ::lseek(m_fd, 0, SEEK_END);
    if (!writeAll(m_fd, bytes)) {
        const int err = errno ? errno : EIO;
        // A mark half written would end the marks that follow it.
        if (at >= 0 && ::ftruncate(m_fd, at) != 0) {
            // Left torn: its check fails, and recovery reads no mark past it.
        }
        return FsStatus{FsError::JournalUnwritable, err};
    }
    return {};
}

void PassJournal::finish(bool clean) {
    if (m_fd < 0)
        return;
    if (clean)
        ::unlink(m_path.c_str());
    ::close(m_fd); // kept: recovery finishes it, now that the lock is gone
    m_fd = -1;
}

FsStatus PassJournal::begin(const std::string& stateFolder, const std::string& folder,
                            const std::vector<PlannedRename>& plan, PassJournal& out,
                            bool idsStable) {
    struct stat where {};
    if (::stat(folder.c_str(), &where) != 0)
        return statusFromErrno(errno);
    const FileId id{static_cast<std::uint64_t>(where.st_dev),
                    static_cast<std::uint64_t>(where.st_ino)};
    return begin(stateFolder, folder, id, plan, out, idsStable);
}

FsStatus PassJournal::begin(const std::string& stateFolder, const std::string& folder,
                            FileId folderId, const std::vector<PlannedRename>& plan,
                            PassJournal& out, bool idsStable, const std::string& tool) {
    out.finish();
    if (FsStatus st = makeFolders(stateFolder); !st.ok())
        return st;
    const long pid = static_cast<long>(::getpid());
    const std::string path =
        joinPath(stateFolder, "pass-" + std::to_string(pid) + "-" + std::to_string(++g_journals) +
                                  kJournalSuffix);
    // Written whole under a name recovery passes over, locked, and only then
    // given the name recovery looks for: it never meets a journal half made.
    const std::string writing = path + kNewSuffix;
    const int fd =
        ::open(writing.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return statusFromErrno(errno);
    ::flock(fd, LOCK_EX);
    JournalContents j;
    j.pid = static_cast<std::uint64_t>(pid);
    j.idsStable = idsStable;
    j.folder = folder;
    j.folderId = folderId;
    j.plan = plan;
    j.tool = tool;
    std::uint64_t sum = 0;
    const std::string bytes = planBytes(j, sum);
    errno = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0 || ::rename(writing.c_str(), path.c_str()) != 0) {
        const int err = errno ? errno : EIO;
        ::unlink(writing.c_str());
        ::close(fd);
        return statusFromErrno(err);
    }
    syncFolder(stateFolder);
    out.m_fd = fd;
    out.m_path = path;
    out.m_planSum = sum;
    return {};
}

RecoveryReport recoverInterruptedPasses(FileSystem& fs, const std::string& stateFolder) {
    RecoveryReport report;
    // Journals in a folder someone else could write are never acted on.
    if (stateFolder.empty() || !checkOwnFolder(stateFolder).ok())
        return report;
    DIR* dir = ::opendir(stateFolder.c_str());
    if (!dir)
        return report;
    std::vector<std::string> files, unfinished;
    while (dirent* d = ::readdir(dir)) {
        const std::string n = d->d_name;
        if (endsWith(n, kJournalSuffix))
            files.push_back(joinPath(stateFolder, n));
        else if (endsWith(n, std::string(kJournalSuffix).append(kNewSuffix).c_str()))
            unfinished.push_back(joinPath(stateFolder, n));
    }
    ::closedir(dir);
    // A journal cut off while it was written: no rename had been made. One
    // whose process still runs is being written now (its lock may not be
    // taken yet), so only a dead process's is removed.
    for (const std::string& path : unfinished) {
        const std::string name = path.substr(stateFolder.size() + 1);
        const long pid = std::strtol(name.c_str() + 5, nullptr, 10); // "pass-<pid>-"
        if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)
            continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        if (fd >= 0)
            ::close(fd);
    }
    std::sort(files.begin(), files.end());
    for (const std::string& path : files) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        // A pass that is still running holds the lock; one that ended while
        // this was opening it has taken its name away.
        struct stat held {
        }, named{};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
            ::lstat(path.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
            held.st_dev != named.st_dev || !S_ISREG(held.st_mode) || held.st_uid != ::geteuid()) {
            ::close(fd);
            continue;
        }
        std::string bytes;
        if (!readAll(fd, bytes)) {
            ::close(fd);
            continue; // tried again another time
        }
        const Parsed parsed = parse(bytes);
        if (!parsed.journal) {
            setAside(path, parsed.folder, report);
            ::close(fd);
            continue;
        }
        const Journal& j = *parsed.journal;
        enum { Remove, Keep, SetAside } fate = Remove;
        const std::optional<FileId> now = fs.folderId(j.folder);
        if (!now) {
            report.waiting.push_back(j.folder);
            fate = Keep; // its drive may come back
        } else if (j.idsStable ? *now != j.folderId : fs.idsSurviveRename(j.folder)) {
            // Another folder now stands at that path (or, for a drive that
            // numbers anew at each mount, a drive of another kind): none of
            // its files is touched.
            fate = SetAside;
        } else {
            FolderRecovery recovery(fs, j, report);
            if (!recovery.run())
                fate = Keep;
            else if (recovery.ambiguous())
                fate = SetAside;
            else if (auto done = recovery.made(); !done.empty())
                report.interrupted.push_back(RecoveryReport::Interrupted{
                    j.folder, j.folderId, j.tool, j.plan.size(), std::move(done)});
        }
        if (fate == Remove)
            ::unlink(path.c_str());
        else if (fate == SetAside)
            setAside(path, j.folder, report);
        ::close(fd);
    }
    return report;
}

} // namespace nw
