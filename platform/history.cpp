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
#include <unistd.h>

namespace nw {
namespace {

constexpr char kMagic[] = "NWH1\n";
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

std::string historyBytes(const HistoryRecord& r) {
    std::string out(kMagic, kMagicSize);
    putNumber(out, static_cast<std::uint64_t>(r.time));
    putField(out, r.folder);
    putNumber(out, r.folderId.device);
    putNumber(out, r.folderId.inode);
    putField(out, r.tool);
    putNumber(out, r.undo ? 1 : 0);
    putNumber(out, r.renames.size());
    for (const HistoryRename& n : r.renames) {
        putField(out, n.oldName);
        putField(out, n.newName);
        putId(out, n.id);
        putNumber(out, n.stamp ? 1 : 0);
        putNumber(out, n.stamp ? static_cast<std::uint64_t>(n.stamp->size) : 0);
        putNumber(out, n.stamp ? static_cast<std::uint64_t>(n.stamp->mtimeNs) : 0);
    }
    putNumber(out, checksum(out.data(), out.size()));
    out.append(kEnd, kEndSize);
    return out;
}

std::optional<HistoryRecord> readHistoryRecord(const std::string& bytes) {
    RecordReader r(bytes);
    HistoryRecord h;
    std::uint64_t time = 0, undo = 0, count = 0;
    if (!r.literal(kMagic, kMagicSize) || !r.number(time) || !r.field(h.folder) ||
        !r.number(h.folderId.device) || !r.number(h.folderId.inode) || !r.field(h.tool) ||
        !r.number(undo) || undo > 1 || !r.number(count))
        return std::nullopt;
    h.time = static_cast<std::int64_t>(time);
    h.undo = undo == 1;
    if (!safeRecordFolder(h.folder))
        return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i) {
        HistoryRename n;
        std::uint64_t hasStamp = 0, size = 0, mtime = 0;
        if (!r.field(n.oldName) || !r.field(n.newName) || !readId(r, n.id) || !r.number(hasStamp) ||
            hasStamp > 1 || !r.number(size) || !r.number(mtime) || !safeRecordName(n.oldName) ||
            !safeRecordName(n.newName))
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
    const std::string path = joinPath(folder, r.name);
    const std::string writing = path + kWriting;
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
    if (!safeRecordName(name) || !endsWith(name, kSuffix))
        return FsStatus{FsError::InvalidName, EINVAL};
    const int fd = ::open(joinPath(folder, name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return statusFromErrno(errno);
    std::string bytes;
    const bool read = readAll(fd, bytes);
    ::close(fd);
    std::optional<HistoryRecord> r = read ? readHistoryRecord(bytes) : std::nullopt;
    if (!r)
        return FsStatus{FsError::Io, EIO};
    r->name = name;
    r->renames = std::move(renames);
    return saveHistoryRecord(folder, *r, r->time);
}

HistoryReading readHistory(const std::string& folder) {
    HistoryReading out;
    // Records someone else could have written are never read.
    if (folder.empty() || !checkOwnFolder(folder).ok())
        return out;
    const std::vector<std::string> names = recordNames(folder);
    for (const std::string& n : names) {
        const std::string path = joinPath(folder, n);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        std::string bytes;
        const bool read = fd >= 0 && readAll(fd, bytes);
        if (fd >= 0)
            ::close(fd);
        std::optional<HistoryRecord> r = read ? readHistoryRecord(bytes) : std::nullopt;
        if (!r) {
            out.damaged.push_back(path);
            continue;
        }
        r->name = n;
        out.records.push_back(std::move(*r));
    }
    return out;
}

} // namespace nw
