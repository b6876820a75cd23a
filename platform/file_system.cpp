#include "platform/file_system.h"

#include "platform/case_map.h"
#include "platform/name_codec.h"
#include "platform/natural_order.h"

#include <algorithm>
#include <cerrno>
#include <numeric>

namespace nw {

FsStatus statusFromErrno(int err) {
    FsError e = FsError::Io;
    switch (err) {
    case 0: e = FsError::None; break;
    case EEXIST:
    case ENOTEMPTY: e = FsError::Exists; break;
    case ENOENT: e = FsError::NotFound; break;
    case EACCES:
    case EPERM: e = FsError::PermissionDenied; break;
    case EROFS: e = FsError::ReadOnly; break;
    case ENAMETOOLONG: e = FsError::NameTooLong; break;
    case EINVAL:
    case EILSEQ: e = FsError::InvalidName; break;
    case ENOTDIR: e = FsError::NotAFolder; break;
    case ENOSPC:
    case EDQUOT: e = FsError::NoSpace; break;
    case EBUSY: e = FsError::Busy; break;
    default: break;
    }
    return FsStatus{e, err};
}

bool sameStamp(const FileStamp& a, const FileStamp& b) {
    constexpr long long kFatTimeStep = 2'000'000'000; // FAT keeps even seconds
    const long long apart = a.mtimeNs > b.mtimeNs ? a.mtimeNs - b.mtimeNs : b.mtimeNs - a.mtimeNs;
    return a.size == b.size && apart < kFatTimeStep;
}

bool isHiddenName(std::string_view name) { return !name.empty() && name[0] == '.'; }

bool admits(const AttributeFlags& flags, const FileAttributes& attrs) {
    if (!attrs.readOnly && !attrs.hidden && !attrs.system)
        return flags.normal;
    return (!attrs.readOnly || flags.readOnly) && (!attrs.hidden || flags.hidden) &&
           (!attrs.system || flags.system);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string parentFolder(const std::string& folder) {
    const std::string f = normalizeFolder(folder);
    const auto pos = f.find_last_of('/');
    if (pos == std::string::npos || pos == 0)
        return "/";
    return f.substr(0, pos);
}

std::string normalizeFolder(const std::string& folder) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < folder.size()) {
        std::size_t j = folder.find('/', i);
        if (j == std::string::npos)
            j = folder.size();
        std::string part = folder.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        i = j + 1;
    }
    std::string out;
    for (const auto& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

void sortNatural(std::vector<ListedFile>& files) {
    // Fold once per name instead of once per comparison.
    std::vector<std::u32string> keys(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        keys[i] = folded(files[i].name);
    std::vector<std::size_t> order(files.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (int r = naturalCompareFolded(keys[a], keys[b]))
            return r < 0;
        return files[a].name < files[b].name;
    });
    std::vector<ListedFile> sorted;
    sorted.reserve(files.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(files[i]));
    files = std::move(sorted);
}

namespace {

// The code page the entries' names are read in, one for all of them.
CodePageJudgement codePageOf(const std::vector<RawEntry>& raw, bool folders,
                             const NameReading& reading) {
    if (!reading.judge)
        return {reading.codePage, true};
    std::vector<std::string_view> legacy;
    for (const RawEntry& e : raw)
        if ((e.kind == EntryKind::Folder) == folders && !isUtf8(e.name))
            legacy.push_back(e.name);
    if (legacy.empty())
        return {};
    return judgeCodePage(legacy, reading.prior ? reading.prior : localePrior());
}

} // namespace

FsStatus listFiles(FileSystem& fs, const std::string& folder, const WildcardSet& patterns,
                   const AttributeFlags& flags, std::vector<ListedFile>& out,
                   const NameReading& reading, CodePageJudgement* judgement,
                   std::size_t* filteredOut) {
    out.clear();
    if (filteredOut)
        *filteredOut = 0;
    std::vector<RawEntry> raw;
    if (FsStatus st = fs.readFolder(folder, raw); !st.ok())
        return st;
    // All the folder's names are evidence, whether the filter shows them or
    // not: the reading does not change with the filter.
    const CodePageJudgement legacy = codePageOf(raw, false, reading);
    if (judgement)
        *judgement = legacy;
    // Write access costs a system call per file; it can only change the
    // verdict when the read-only flag differs from what admits the file
    // otherwise, so ask only then.
    const bool needWritable = !(flags.readOnly && flags.normal);
    out.reserve(raw.size());
    for (auto& e : raw) {
        if (e.kind == EntryKind::Folder)
            continue;
        FileAttributes a;
        a.hidden = isHiddenName(e.name);
        a.system = e.kind == EntryKind::Special;
        if (needWritable)
            a.readOnly = !fs.isWritable(folder, e.name);
        if (!admits(flags, a))
            continue;
        DecodedName name = readName(e.name, legacy);
        if (!patterns.matches(name.text)) {
            if (filteredOut)
                ++*filteredOut;
            continue;
        }
        out.push_back(ListedFile{std::move(e.name), std::move(name.text), name.encoding, e.kind,
                                 e.link, name.unsure, name.alsoUtf8});
    }
    sortNatural(out);
    return {};
}

FsStatus listSubfolders(FileSystem& fs, const std::string& folder, std::vector<ListedFile>& out) {
    out.clear();
    std::vector<RawEntry> raw;
    if (FsStatus st = fs.readFolder(folder, raw); !st.ok())
        return st;
    const CodePageJudgement legacy = codePageOf(raw, true, {});
    for (auto& e : raw)
        if (e.kind == EntryKind::Folder) {
            DecodedName name = readName(e.name, legacy);
            out.push_back(ListedFile{std::move(e.name), std::move(name.text), name.encoding, e.kind,
                                     e.link, name.unsure, name.alsoUtf8});
        }
    sortNatural(out);
    return {};
}

} // namespace nw
