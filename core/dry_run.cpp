#include "core/dry_run.h"

#include "platform/case_map.h"
#include "platform/name_codec.h"

namespace nw {
namespace {

// The list as it stands, except that the end of the pass re-reads nothing.
class FrozenList : public FileListSource {
public:
    explicit FrozenList(FileListSource& list) : m_list(list) {}
    int ListCount() const override { return m_list.ListCount(); }
    std::u32string List(int i) const override { return m_list.List(i); }
    NameEncoding Encoding(int i) const override { return m_list.Encoding(i); }
    std::string Bytes(int i) const override { return m_list.Bytes(i); }
    bool Selected(int i) const override { return m_list.Selected(i); }
    std::string Path() const override { return m_list.Path(); }
    void Refresh() override {}
    std::optional<EntryShape> Shape(int i) const override { return m_list.Shape(i); }
    std::optional<FileId> FolderId() const override { return m_list.FolderId(); }
    bool Unsure(int i) const override { return m_list.Unsure(i); }

private:
    FileListSource& m_list;
};

} // namespace

PreviewKind previewKindOf(StepKind k) {
    switch (k) {
    case StepKind::Renamed: return PreviewKind::Rename;
    case StepKind::Unchanged: return PreviewKind::Unchanged;
    case StepKind::Left: return PreviewKind::Left;
    case StepKind::Refused: return PreviewKind::Exists;
    case StepKind::Stopped: return PreviewKind::Stop;
    }
    return PreviewKind::Stop;
}

RecordingFileSystem::RecordingFileSystem(FileSystem& real, const std::string& folder)
    : m_real(real) {
    names(folder);
}

RecordingFileSystem::Names& RecordingFileSystem::names(const std::string& folder) {
    if (const auto it = m_folders.find(folder); it != m_folders.end())
        return it->second;
    Names& n = m_folders[folder];
    n.ignoresCase = m_real.ignoresCase(folder);
    std::vector<RawEntry> entries;
    m_real.readFolder(folder, entries);
    n.names.reserve(entries.size());
    for (RawEntry& e : entries) {
        if (n.ignoresCase)
            n.keys.emplace(n.key(e.name), e.name);
        n.names.emplace(std::move(e.name), EntryShape{e.kind, e.link});
    }
    return n;
}

std::string RecordingFileSystem::Names::key(const std::string& name) const {
    if (!ignoresCase)
        return name;
    // Most names are ASCII, whose folding is plain lower case.
    std::string out(name);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return encodeName(folded(decodeName(name)));
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::unordered_map<std::string, EntryShape>::iterator
RecordingFileSystem::Names::find(const std::string& name) {
    if (!ignoresCase)
        return names.find(name);
    const auto k = keys.find(key(name));
    return k == keys.end() ? names.end() : names.find(k->second);
}

FsStatus RecordingFileSystem::readFolder(const std::string& folder, std::vector<RawEntry>& out) {
    out.clear();
    for (const auto& [name, shape] : names(folder).names)
        out.push_back(RawEntry{name, shape.kind, shape.link});
    return {};
}

FsStatus RecordingFileSystem::rename(const std::string& folder, const std::string& oldName,
                                     const std::string& newName) {
    Names& n = names(folder);
    const auto it = n.names.find(oldName);
    if (it == n.names.end())
        return FsStatus{FsError::NotFound, 0};
    if (oldName == newName)
        return {};
    // A name taken by another file; where case is ignored, the old name in
    // other letters is the same file and free to take.
    if (const auto taken = n.find(newName); taken != n.names.end() && taken != it)
        return FsStatus{FsError::Exists, 0};
    if (newName.size() > kMaxNameBytes)
        return FsStatus{FsError::NameTooLong, 0};
    // The entry moves to its new name without being made again.
    auto node = n.names.extract(it);
    node.key() = newName;
    n.names.insert(std::move(node));
    if (n.ignoresCase) {
        n.keys.erase(n.key(oldName));
        n.keys[n.key(newName)] = newName;
    }
    return {};
}

std::optional<EntryInfo> RecordingFileSystem::entryInfo(const std::string& folder,
                                                        const std::string& name) {
    Names& n = names(folder);
    const auto it = n.names.find(name);
    if (it == n.names.end())
        return std::nullopt;
    return EntryInfo{it->second, {}, {}};
}

bool RecordingFileSystem::regularFileExists(const std::string& folder, const std::string& name) {
    Names& n = names(folder);
    const auto it = n.find(name);
    return it != n.names.end() && it->second.kind == EntryKind::Regular;
}

Preview DryRun(FileListSource& list, FileSystem& fs,
               const std::function<RenameTool(FileSystem&)>& makeTool) {
    Preview p;
    p.rows.reserve(static_cast<std::size_t>(list.ListCount()));
    RecordingFileSystem memory(fs, list.Path());
    FrozenList frozen(list);
    RenameTool tool = makeTool(memory);
    tool.progress = nullptr;
    tool.observe = [&](const PassStep& s) {
        p.rows.push_back(previewRowOf(s, frozen.Encoding(s.index)));
        p.rows.back().isFolder = isFolderEntry(frozen, s.index);
    };
    p.pass = RunRenamePass(frozen, memory, tool);
    if (p.pass.outcome == PassResult::Outcome::Stopped && p.pass.failure)
        addNotReached(p, list, p.pass.failure->index + 1);
    return p;
}

PreviewRow previewRowOf(const PassStep& s, NameEncoding oldEncoding) {
    return PreviewRow{s.index,
                      s.oldName,
                      s.newName.value_or(std::u32string()),
                      previewKindOf(s.kind),
                      s.left,
                      s.bytes,
                      oldEncoding,
                      s.note,
                      {},
                      false};
}

bool isFolderEntry(const FileListSource& list, int i) {
    const auto shape = list.Shape(i);
    return shape && shape->kind == EntryKind::Folder;
}

void addNotReached(Preview& p, const FileListSource& list, int from) {
    for (int i = from; i < list.ListCount(); ++i)
        if (list.Selected(i))
            p.rows.push_back(PreviewRow{i,
                                        list.List(i),
                                        {},
                                        PreviewKind::NotReached,
                                        LeftReason::Tool,
                                        0,
                                        list.Encoding(i),
                                        {},
                                        list.SubName(i),
                                        isFolderEntry(list, i)});
}

PassResult RunPlannedPass(FileListSource& list, FileSystem& fs, const RenameTool& tool,
                          const std::function<RenameTool(FileSystem&)>& planTool) {
    const std::string folder = list.Path();
    if (!fs.needsJournal(folder))
        return RunRenamePass(list, fs, tool);
    const Preview dry = DryRun(list, fs, planTool);
    std::vector<PlannedRename> plan;
    plan.reserve(dry.pass.done.size());
    for (const RenameRecord& r : dry.pass.done)
        plan.push_back(PlannedRename{r.oldName, r.newName});
    return RunJournalledPass(list, fs, tool, plan);
}

} // namespace nw
