#include "core/undo.h"

#include "platform/name_codec.h"

#include <algorithm>
#include <set>
#include <utility>

namespace nw {
namespace {

// The renames of one pass, newest first, every one selected.
class UndoList : public FileListSource {
public:
    UndoList(const PassResult& pass, FileListSource& shown) : m_pass(pass), m_shown(shown) {
        m_names.reserve(pass.done.size());
        for (auto it = pass.done.rbegin(); it != pass.done.rend(); ++it)
            m_names.push_back(readName(it->newName));
    }
    int ListCount() const override { return static_cast<int>(m_names.size()); }
    std::u32string List(int i) const override { return m_names[static_cast<std::size_t>(i)].text; }
    NameEncoding Encoding(int i) const override {
        return m_names[static_cast<std::size_t>(i)].encoding;
    }
    std::string Bytes(int i) const override {
        return m_pass.done[m_pass.done.size() - 1 - static_cast<std::size_t>(i)].newName;
    }
    bool Selected(int) const override { return true; }
    std::string Path() const override { return m_pass.folder; }
    void Refresh() override {
        if (m_shown.Path() == m_pass.folder)
            m_shown.Refresh();
    }

private:
    const PassResult& m_pass;
    FileListSource& m_shown;
    std::vector<DecodedName> m_names;
};

} // namespace

std::vector<std::string> UndoHistory::lastNewNames() const {
    std::vector<std::string> names;
    if (!m_passes.empty())
        for (const RenameRecord& r : m_passes.back().done)
            names.push_back(r.newName);
    return names;
}

void UndoHistory::record(const PassResult& pass, std::string recordName) {
    if (!pass.done.empty()) {
        m_passes.push_back(pass);
        m_records.push_back(std::move(recordName));
    }
}

HistoryRecord historyRecordOf(const PassResult& pass, FileId folderId, std::string tool,
                              std::int64_t time, bool undo) {
    HistoryRecord r;
    r.time = time;
    r.folder = pass.folder;
    r.folderId = folderId;
    r.tool = std::move(tool);
    r.undo = undo;
    for (const RenameRecord& d : pass.done)
        r.renames.push_back(HistoryRename{d.oldName, d.newName, d.id, d.stamp});
    return r;
}

PassResult passOfRecord(const HistoryRecord& record) {
    PassResult p;
    p.folder = record.folder;
    p.renamed = static_cast<int>(record.renames.size());
    for (const HistoryRename& n : record.renames)
        p.done.push_back(RenameRecord{n.oldName, n.newName, n.id, n.stamp});
    return p;
}

PassResult UndoHistory::undoLast(FileListSource& shown, FileSystem& fs, RenameTool hooks) {
    if (m_passes.empty())
        return guardedPass();
    return undoPass(m_passes.size() - 1, shown, fs, std::move(hooks));
}

const PassResult* UndoHistory::pass(const std::string& record) const {
    const auto it = std::find(m_records.begin(), m_records.end(), record);
    if (record.empty() || it == m_records.end())
        return nullptr;
    return &m_passes[static_cast<std::size_t>(it - m_records.begin())];
}

PassResult UndoHistory::undoRecord(const std::string& record, FileListSource& shown, FileSystem& fs,
                                   RenameTool hooks) {
    const auto it = std::find(m_records.begin(), m_records.end(), record);
    if (record.empty() || it == m_records.end())
        return guardedPass();
    return undoPass(static_cast<std::size_t>(it - m_records.begin()), shown, fs, std::move(hooks));
}

PassResult UndoHistory::undoPass(std::size_t index, FileListSource& shown, FileSystem& fs,
                                 RenameTool hooks) {
    PassResult& last = m_passes[index];
    UndoList list(last, shown);
    // Entry i of the list is the i-th newest rename, back to its old name in
    // its old encoding, provided the name still stands for the file renamed.
    // Where the drive numbers files anew (FUSE: after a remount, or once the
    // kernel forgets them), the file is known by what the drive keeps.
    const bool idsLast = fs.idsSurviveRename(last.folder);
    hooks.transform = [&, idsLast](int i, const std::u32string&) {
        const RenameRecord& rec = last.done[last.done.size() - 1 - static_cast<std::size_t>(i)];
        if (const auto now = fs.entryInfo(last.folder, rec.newName)) {
            const bool replaced = idsLast && rec.id       ? now->id != *rec.id
                                  : !idsLast && rec.stamp ? !sameStamp(now->stamp, *rec.stamp)
                                                          : false;
            if (replaced)
                return TransformResult::fail(FailureReason::Replaced);
        }
        // The name that was there, byte for byte, whatever its code page.
        TransformResult t = TransformResult::of(readName(rec.oldName).text);
        t.bytes = rec.oldName;
        return t;
    };
    hooks.readsCharacters = false;
    std::vector<PlannedRename> plan;
    for (auto it = last.done.rbegin(); it != last.done.rend(); ++it)
        plan.push_back(PlannedRename{it->newName, it->oldName});
    PassResult r = RunJournalledPass(list, fs, hooks, plan);
    // What was put back leaves the history; the rest (not reached, or a
    // file skipped because its old name is taken now) stays undoable.
    std::multiset<std::pair<std::string, std::string>> undone;
    for (const RenameRecord& d : r.done)
        undone.emplace(d.newName, d.oldName);
    last.done.erase(std::remove_if(last.done.begin(), last.done.end(),
                                   [&](const RenameRecord& rec) {
                                       const auto it = undone.find({rec.oldName, rec.newName});
                                       if (it == undone.end())
                                           return false;
                                       undone.erase(it);
                                       return true;
                                   }),
                    last.done.end());
    if (last.done.empty()) {
        m_passes.erase(m_passes.begin() + static_cast<std::ptrdiff_t>(index));
        m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return r;
}

} // namespace nw
