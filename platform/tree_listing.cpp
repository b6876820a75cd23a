#include "platform/tree_listing.h"

#include "platform/name_codec.h"
#include "platform/natural_order.h"

#include <algorithm>
#include <set>

namespace nw {
namespace {

class Walk {
public:
    Walk(FileSystem& fs, const std::string& root, const WildcardSet& patterns,
         const AttributeFlags& flags, const TreeOptions& options, TreeListing& out,
         const std::function<bool(std::size_t)>& progress)
        : m_fs(fs), m_root(root), m_patterns(patterns), m_flags(flags), m_options(options),
          m_out(out), m_progress(progress) {}

    // One folder: its files, then each folder below with its own entries
    // first. false: stopped.
    bool folder(std::uint32_t at, const NameReading& reading, FsStatus* failure) {
        const std::string sub = m_out.folders[at].sub;
        const std::u32string subName = m_out.folders[at].subName;
        const std::string path = sub.empty() ? m_root : joinPath(m_root, sub);
        std::vector<RawEntry> raw;
        if (FsStatus st = m_fs.readFolder(path, raw); !st.ok()) {
            if (failure)
                *failure = st;
            return true;
        }
        ++m_out.foldersRead;
        const CodePageJudgement judged = judgement(raw, reading);
        if (judged.codePage)
            m_out.judgements.emplace_back(at, judged);
        const bool needWritable = !(m_flags.readOnly && m_flags.normal);
        std::vector<ListedFile> files, folders;
        // Folders the attribute flags leave out as entries (their own files
        // are filtered one by one all the same).
        std::set<std::string> notShown;
        for (RawEntry& e : raw) {
            FileAttributes a;
            a.hidden = isHiddenName(e.name);
            a.system = e.kind == EntryKind::Special;
            DecodedName name = readName(e.name, judged);
            ListedFile f{std::move(e.name), std::move(name.text), name.encoding, e.kind, e.link,
                         name.unsure,       name.alsoUtf8};
            if (f.kind == EntryKind::Folder) {
                if (a.hidden && !m_flags.hidden)
                    continue;
                if (needWritable)
                    a.readOnly = !m_fs.isWritable(path, f.bytes);
                if (!admits(m_flags, a))
                    notShown.insert(f.bytes);
                folders.push_back(std::move(f));
                continue;
            }
            if (needWritable)
                a.readOnly = !m_fs.isWritable(path, f.bytes);
            if (!admits(m_flags, a))
                continue;
            if (!m_patterns.matches(f.name)) {
                ++m_out.filteredOut;
                continue;
            }
            files.push_back(std::move(f));
        }
        sortNatural(files);
        sortNatural(folders);
        for (ListedFile& f : files)
            if (!add(TreeEntry{at, std::move(f)}))
                return false;
        if (!m_options.subfolders) {
            if (m_options.folders)
                for (ListedFile& f : folders)
                    if (!notShown.count(f.bytes) && !add(TreeEntry{at, std::move(f)}))
                        return false;
            return true;
        }
        for (ListedFile& f : folders) {
            TreeEntry entry{at, std::move(f)};
            // A link is an entry, never a way in; nor is another drive
            // mounted below (a folder of another device).
            const std::string below = sub.empty() ? entry.file.bytes : sub + "/" + entry.file.bytes;
            if (!entry.file.link && sameDrive(joinPath(m_root, below))) {
                const auto inside = static_cast<std::uint32_t>(m_out.folders.size());
                m_out.folders.push_back(TreeFolder{
                    below, subName.empty() ? entry.file.name : subName + U"/" + entry.file.name});
                FsStatus why;
                if (!folder(inside, {}, &why))
                    return false;
                entry.unreadable = why.error;
                entry.unreadableErrno = why.sysError;
            }
            const bool shown = m_options.folders && !notShown.count(entry.file.bytes);
            if (shown || entry.unreadable != FsError::None)
                if (!add(std::move(entry)))
                    return false;
        }
        return true;
    }

private:
    static CodePageJudgement judgement(const std::vector<RawEntry>& raw,
                                       const NameReading& reading) {
        if (!reading.judge)
            return {reading.codePage, true};
        std::vector<std::string_view> legacy;
        for (const RawEntry& e : raw)
            if (!isUtf8(e.name))
                legacy.push_back(e.name);
        if (legacy.empty())
            return {};
        return judgeCodePage(legacy, reading.prior ? reading.prior : localePrior());
    }

    bool sameDrive(const std::string& path) {
        if (!m_rootDevice) {
            const auto id = m_fs.folderId(m_root);
            m_rootDevice = id ? id->device : 0;
        }
        const auto id = m_fs.folderId(path);
        return id && id->device == *m_rootDevice;
    }

    bool add(TreeEntry e) {
        m_out.entries.push_back(std::move(e));
        constexpr std::size_t kEvery = 512;
        const std::size_t n = m_out.entries.size();
        return !m_progress || n % kEvery != 0 || m_progress(n);
    }

    FileSystem& m_fs;
    const std::string& m_root;
    const WildcardSet& m_patterns;
    const AttributeFlags& m_flags;
    const TreeOptions& m_options;
    TreeListing& m_out;
    const std::function<bool(std::size_t)>& m_progress;
    std::optional<std::uint64_t> m_rootDevice;
};

} // namespace

FsStatus listTree(FileSystem& fs, const std::string& root, const WildcardSet& patterns,
                  const AttributeFlags& flags, const TreeOptions& options, TreeListing& out,
                  const NameReading& reading, const std::function<bool(std::size_t)>& progress) {
    out = {};
    out.folders.push_back({});
    Walk walk(fs, root, patterns, flags, options, out, progress);
    FsStatus failure;
    if (!walk.folder(0, reading, &failure)) {
        out = {};
        return FsStatus{FsError::Superseded, 0};
    }
    return failure;
}

std::u32string treePath(const TreeListing& l, const TreeEntry& e) {
    const TreeFolder& f = l.folderOf(e);
    std::u32string p = f.subName.empty() ? e.file.name : f.subName + U"/" + e.file.name;
    if (e.isFolder())
        p += U'/';
    return p;
}

std::string treeBytes(const TreeListing& l, const TreeEntry& e) {
    const TreeFolder& f = l.folderOf(e);
    return f.sub.empty() ? e.file.bytes : f.sub + "/" + e.file.bytes;
}

} // namespace nw
