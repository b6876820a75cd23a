#include "platform/history.h"

#include "platform/journal.h"
#include "platform/record_bytes.h"
#include "platform/state_files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nw {
namespace {

// Records of passes over one folder keep the first form, which older
// versions read; a pass over a tree adds each rename's folder below.
constexpr char kMagic[] = "NWH2\n";
constexpr char kTreeMagic[] = "NWH3\n";
constexpr char kEnd[] = "END\n";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr std::size_t kEndSize = sizeof kEnd - 1;
constexpr char kSuffix[] = ".pass";
constexpr char kWriting[] = ".new";

bool endsWith(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return s.size() > n && s.compare(s.size() - n, n, tail) == 0;
}

// Newest first: the names begin with the time, zero-padded, then a count of
// this process's records, so that its passes of one second keep their order.
std::string recordName(std::int64_t time) {
    auto padded = [](long long v, std::size_t width) {
        std::string t = std::to_string(v);
        t.insert(0, t.size() < width ? width - t.size() : 0, '0');
        return t;
    };
    static std::atomic<long long> made{0};
    return padded(time, 12) + "-" + padded(++made, 9) + "-" +
           std::to_string(static_cast<long>(::getpid())) + kSuffix;
}

// The records' names, newest first.
std::vector<std::string> recordNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (endsWith(e->d_name, kSuffix))
                names.emplace_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.rbegin(), names.rend());
    return names;
}

void putId(std::string& out, const std::optional<FileId>& id) {
    putNumber(out, id ? 1 : 0);
    putNumber(out, id ? id->device : 0);
    putNumber(out, id ? id->inode : 0);
}

bool readId(RecordReader& r, std::optional<FileId>& id) {
    std::uint64_t has = 0, device = 0, inode = 0;
    if (!r.number(has) || !r.number(device) || !r.number(inode) || has > 1)
        return false;
    if (has)
        id = FileId{device, inode};
    return true;
}

} // namespace

std::string historyFolder() {
    const std::string journals = journalFolder();
    return journals.empty() ? std::string() : joinPath(journals, "history");
}

// A record: a header (when, where, what, how many) with its own check, so
// that the list of passes reads only the headers, then the renames, then
// the check of the whole.
std::string historyBytes(const HistoryRecord& r) {
    const bool tree = std::any_of(r.renames.begin(), r.renames.end(),
                                  [](const HistoryRename& n) { return !n.sub.empty(); });
    std::string out(tree ? kTreeMagic : kMagic, kMagicSize);
    putNumber(out, static_cast<std::uint64_t>(r.time));
    putField(out, r.folder);
    putNumber(out, r.folderId.device);
    putNumber(out, r.folderId.inode);
    putField(out, r.tool);
    putNumber(out, r.undo ? 1 : 0);
    putNumber(out, r.renames.size());
    putNumber(out, checksum(out.data(), out.size()));
    for (const HistoryRename& n : r.renames) {
        putField(out, n.oldName);
        putField(out, n.newName);
        if (tree)
            putField(out, n.sub);
        putId(out, n.id);
        putNumber(out, n.stamp ? 1 : 0);
        putNumber(out, n.stamp ? static_cast<std::uint64_t>(n.stamp->size) : 0);
        putNumber(out, n.stamp ? static_cast<std::uint64_t>(n.stamp->mtimeNs) : 0);
    }
    putNumber(out, checksum(out.data(), out.size()));
    out.append(kEnd, kEndSize);
    return out;
}

namespace {

// The header; false where it is cut short or does not check.
bool readHeader(RecordReader& r, const std::string& bytes, HistoryRecord& h, bool& tree) {
    std::uint64_t time = 0, undo = 0, count = 0, sum = 0;
    tree = bytes.compare(0, kMagicSize, kTreeMagic) == 0;
    if (!r.literal(tree ? kTreeMagic : kMagic, kMagicSize) || !r.number(time) ||
        !r.field(h.folder) || !r.number(h.folderId.device) || !r.number(h.folderId.inode) ||
        !r.field(h.tool) || !r.number(undo) || undo > 1 || !r.number(count))
        return false;
    const std::size_t summed = r.pos();
    if (!r.number(sum) || sum != checksum(bytes.data(), summed) || !safeRecordFolder(h.folder))
        return false;
    h.time = static_cast<std::int64_t>(time);
    h.undo = undo == 1;
    h.count = static_cast<std::size_t>(count);
    return true;
}

// How much of a record the list reads: its header fits, whatever its folder.
constexpr std::size_t kHeaderBytes = 16 * 1024;

} // namespace

std::optional<HistoryRecord> readHistoryRecord(const std::string& bytes) {
    RecordReader r(bytes);
    HistoryRecord h;
    bool tree = false;
    if (!readHeader(r, bytes, h, tree))
        return std::nullopt;
    for (std::size_t i = 0; i < h.count; ++i) {
        HistoryRename n;
        std::uint64_t hasStamp = 0, size = 0, mtime = 0;
        if (!r.field(n.oldName) || !r.field(n.newName) || (tree && !r.field(n.sub)) ||
            !readId(r, n.id) || !r.number(hasStamp) || hasStamp > 1 || !r.number(size) ||
            !r.number(mtime) || !safeRecordName(n.oldName) || !safeRecordName(n.newName) ||
            !safeRecordSub(n.sub))
            return std::nullopt;
        if (hasStamp)
            n.stamp = FileStamp{static_cast<long long>(size), static_cast<long long>(mtime)};
        h.renames.push_back(std::move(n));
    }
    const std::size_t summed = r.pos();
    std::uint64_t sum = 0;
    if (!r.number(sum) || sum != checksum(bytes.data(), summed) || !r.literal(kEnd, kEndSize) ||
        !r.atEnd())
        return std::nullopt;
    return h;
}

FsStatus saveHistoryRecord(const std::string& folder, HistoryRecord& r, std::int64_t now) {
    if (FsStatus st = makeFolders(folder); !st.ok())
        return st;
    if (r.name.empty())
        r.name = recordName(r.time);
    r.count = r.renames.size();
    const std::string path = joinPath(folder, r.name);
    // Each process writes under a name of its own.
    const std::string writing =
        path + "." + std::to_string(static_cast<long>(::getpid())) + kWriting;
    const int fd =
        ::open(writing.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return statusFromErrno(errno);
    errno = 0;
    const bool written = writeAll(fd, historyBytes(r)) && ::fsync(fd) == 0;
    const int err = errno ? errno : EIO;
    ::close(fd);
    if (!written || ::rename(writing.c_str(), path.c_str()) != 0) {
        ::unlink(writing.c_str());
        return statusFromErrno(written ? errno : err);
    }
    // The last 50 passes of the last 30 days are kept.
    const std::vector<std::string> names = recordNames(folder);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::int64_t at = std::strtoll(names[i].c_str(), nullptr, 10);
        if (i >= kHistoryPasses || at < now - kHistorySeconds)
            ::unlink(joinPath(folder, names[i]).c_str());
    }
    return {};
}

void removeHistoryRecord(const std::string& folder, const std::string& name) {
    if (safeRecordName(name) && endsWith(name, kSuffix))
        ::unlink(joinPath(folder, name).c_str());
}

FsStatus keepHistoryRenames(const std::string& folder, const std::string& name,
                            std::vector<HistoryRename> renames) {
    if (renames.empty()) {
        removeHistoryRecord(folder, name);
        return {};
    }
    std::optional<HistoryRecord> r = readHistoryFile(folder, name);
    if (!r)
        return FsStatus{FsError::Io, EIO};
    r->renames = std::move(renames);
    return saveHistoryRecord(folder, *r, r->time);
}

namespace {

// Reads a record's file, all of it or its first bytes; false where it
// cannot be opened or read.
bool readRecordFile(const std::string& path, std::string& bytes, std::size_t most) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bool read = false;
    if (most == 0) {
        read = readAll(fd, bytes);
    } else {
        bytes.resize(most);
        const ssize_t n = ::pread(fd, bytes.data(), most, 0);
        read = n >= 0;
        bytes.resize(read ? static_cast<std::size_t>(n) : 0);
    }
    ::close(fd);
    return read;
}

} // namespace

std::optional<HistoryRecord> readHistoryFile(const std::string& folder, const std::string& name) {
    if (folder.empty() || !safeRecordName(name) || !endsWith(name, kSuffix) ||
        !checkOwnFolder(folder).ok())
        return std::nullopt;
    std::string bytes;
    if (!readRecordFile(joinPath(folder, name), bytes, 0))
        return std::nullopt;
    std::optional<HistoryRecord> r = readHistoryRecord(bytes);
    if (r)
        r->name = name;
    return r;
}

HistoryReading readHistory(const std::string& folder) {
    HistoryReading out;
    // Records someone else could have written are never read.
    if (folder.empty() || !checkOwnFolder(folder).ok())
        return out;
    for (const std::string& n : recordNames(folder)) {
        const std::string path = joinPath(folder, n);
        std::string bytes;
        HistoryRecord h;
        bool ok = readRecordFile(path, bytes, kHeaderBytes);
        if (ok) {
            RecordReader r(bytes);
            bool tree = false;
            ok = readHeader(r, bytes, h, tree);
        }
        if (!ok) {
            out.damaged.push_back(path);
            continue;
        }
        h.name = n;
        out.records.push_back(std::move(h));
    }
    return out;
}

void setAsideHistoryRecords(const std::vector<std::string>& paths) {
    for (const std::string& p : paths)
        if (endsWith(p, kSuffix))
            ::rename(p.c_str(), (p + ".kept").c_str());
}

HistoryHold::~HistoryHold() {
    if (m_fd >= 0)
        ::close(m_fd);
}

HistoryHold::Outcome HistoryHold::take(const std::string& folder, const std::string& name) {
    if (folder.empty() || !safeRecordName(name) || !endsWith(name, kSuffix))
        return Gone;
    const std::string path = joinPath(folder, name);
    // Another window may give the record its new content (a new file) while
    // this one opens it: the lock is on the file the name stands for.
    for (int tries = 0; tries < 3; ++tries) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            return Gone;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return Busy;
        }
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = fd;
            return Held;
        }
        ::close(fd);
    }
    return Busy;
}

} // namespace nw
