#include "core/undo.h"

#include "core/tree_pass.h"

#include "platform/name_codec.h"

#include <algorithm>
#include <ctime>
#include <map>
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

// A list that shows nothing: the parts of a tree's undo re-read nothing,
// the whole is re-read at its end.
class NoList : public FileListSource {
public:
    int ListCount() const override { return 0; }
    std::u32string List(int) const override { return {}; }
    NameEncoding Encoding(int) const override { return NameEncoding::Utf8; }
    bool Selected(int) const override { return false; }
    std::string Path() const override { return {}; }
    void Refresh() override {}
};

// The renames of a pass over a tree made in one folder one after another:
// done[begin, end).
struct Group {
    std::size_t begin = 0, end = 0;
};

std::vector<Group> groupsOf(const std::vector<RenameRecord>& done) {
    std::vector<Group> groups;
    for (std::size_t k = 0; k < done.size(); ++k) {
        if (groups.empty() || done[groups.back().begin].sub != done[k].sub)
            groups.push_back(Group{k, k});
        groups.back().end = k + 1;
    }
    return groups;
}

bool holdsTree(const std::vector<RenameRecord>& done) {
    return std::any_of(done.begin(), done.end(),
                       [](const RenameRecord& d) { return !d.sub.empty(); });
}

// Where a folder of the tree (as it was named when the pass renamed in it)
// is now, while these renames (made after, in order) still stand: a folder
// of the pass is renamed after whatever is inside it.
std::string whereNow(std::string sub, const std::vector<const RenameRecord*>& later) {
    for (const RenameRecord* d : later) {
        const std::string was = d->sub.empty() ? d->oldName : d->sub + "/" + d->oldName;
        if (sub.size() >= was.size() && sub.compare(0, was.size(), was) == 0 &&
            (sub.size() == was.size() || sub[was.size()] == '/'))
            sub =
                (d->sub.empty() ? d->newName : d->sub + "/" + d->newName) + sub.substr(was.size());
    }
    return sub;
}

std::vector<const RenameRecord*> recordsOf(const std::vector<std::vector<RenameRecord>>& parts,
                                           std::size_t from) {
    std::vector<const RenameRecord*> out;
    for (std::size_t k = from; k < parts.size(); ++k)
        for (const RenameRecord& d : parts[k])
            out.push_back(&d);
    return out;
}

PassResult partOf(const PassResult& pass, std::vector<RenameRecord> done, const std::string& now) {
    PassResult p;
    p.folder = now.empty() ? pass.folder : joinPath(pass.folder, now);
    p.ended = pass.ended;
    p.renamed = static_cast<int>(done.size());
    p.done = std::move(done);
    return p;
}

std::vector<std::vector<RenameRecord>> split(const std::vector<RenameRecord>& done,
                                             const std::vector<Group>& groups) {
    std::vector<std::vector<RenameRecord>> parts;
    for (const Group& g : groups)
        parts.emplace_back(done.begin() + static_cast<std::ptrdiff_t>(g.begin),
                           done.begin() + static_cast<std::ptrdiff_t>(g.end));
    return parts;
}

} // namespace

void UndoHistory::record(PassResult pass) {
    if (pass.done.empty())
        return;
    if (pass.ended == 0)
        pass.ended = static_cast<std::int64_t>(std::time(nullptr));
    m_passes.push_back(std::move(pass));
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
        r.renames.push_back(HistoryRename{d.oldName, d.newName, d.id, d.stamp, d.sub});
    return r;
}

PassResult passOfRecord(const HistoryRecord& record) {
    PassResult p;
    p.folder = record.folder;
    p.ended = record.time;
    p.renamed = static_cast<int>(record.renames.size());
    for (const HistoryRename& n : record.renames)
        p.done.push_back(RenameRecord{n.oldName, n.newName, n.id, n.stamp, n.sub});
    return p;
}

namespace {

// Whether the file at a name the pass gave is still the one it renamed there.
// Where the drive numbers files anew (FUSE: after a remount, or once the
// kernel forgets them), the file is known by what the drive keeps.
// FAT through FUSE (fusefat) gives a renamed file the time of its rename on
// the drive, which shows once the drive is mounted anew: the same size and a
// time after the one it had, by the end of the pass, is that file too.
bool stillThatFile(const EntryInfo& now, const RenameRecord& rec, bool idsLast,
                   std::int64_t ended) {
    if (idsLast && rec.id)
        return now.id == *rec.id;
    if (!idsLast && rec.stamp) {
        if (sameStamp(now.stamp, *rec.stamp))
            return true;
        constexpr long long kSecond = 1'000'000'000, kFatTimeStep = 2 * kSecond;
        return ended > 0 && now.stamp.size == rec.stamp->size &&
               now.stamp.mtimeNs > rec.stamp->mtimeNs &&
               now.stamp.mtimeNs <= ended * kSecond + kFatTimeStep;
    }
    return true;
}

} // namespace

namespace {

std::vector<UndoStep> previewFolderUndo(const PassResult& pass, FileSystem& fs) {
    std::vector<UndoStep> steps;
    const bool idsLast = fs.idsSurviveRename(pass.folder);
    // The names earlier steps of the undo free or take, beside the folder.
    std::map<std::string, bool> taken;
    auto isTaken = [&](const std::string& n) {
        const auto it = taken.find(n);
        return it != taken.end() ? it->second : fs.entryInfo(pass.folder, n).has_value();
    };
    for (auto it = pass.done.rbegin(); it != pass.done.rend(); ++it) {
        UndoStep step{it->newName, it->oldName, UndoStep::Ready};
        // A name an earlier step freed or filled holds another file by then.
        const auto now =
            taken.count(it->newName) ? std::nullopt : fs.entryInfo(pass.folder, it->newName);
        if (!now || !stillThatFile(*now, *it, idsLast, pass.ended)) {
            step.state = UndoStep::NotThatFile;
        } else if (isTaken(it->oldName)) {
            // On a drive that ignores letter case the old spelling may find
            // the file itself, which is no obstacle.
            const auto there =
                taken.count(it->oldName) ? std::nullopt : fs.entryInfo(pass.folder, it->oldName);
            if (!there || there->id != now->id)
                step.state = UndoStep::OldNameTaken;
        }
        if (step.state == UndoStep::Ready) {
            taken[it->newName] = false;
            taken[it->oldName] = true;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

} // namespace

std::vector<UndoStep> previewUndo(const PassResult& pass, FileSystem& fs) {
    if (!holdsTree(pass.done))
        return previewFolderUndo(pass, fs);
    // Folder by folder, newest first, each where it stands before the undo
    // puts back the folders above it (which it does first).
    const std::vector<Group> groups = groupsOf(pass.done);
    const auto parts = split(pass.done, groups);
    std::vector<UndoStep> steps;
    for (std::size_t k = groups.size(); k-- > 0;) {
        const std::string& sub = parts[k].front().sub;
        const PassResult part = partOf(pass, parts[k], whereNow(sub, recordsOf(parts, k + 1)));
        for (UndoStep& step : previewFolderUndo(part, fs)) {
            if (!sub.empty()) {
                step.newName = sub + "/" + step.newName;
                step.oldName = sub + "/" + step.oldName;
            }
            steps.push_back(std::move(step));
        }
    }
    return steps;
}

namespace {

// Undoes the renames of one folder; last keeps what is still to undo.
PassResult undoFolder(PassResult& last, FileListSource& shown, FileSystem& fs, RenameTool hooks) {
    UndoList list(last, shown);
    // Entry i of the list is the i-th newest rename, back to its old name in
    // its old encoding, provided the name still stands for the file renamed;
    // one that does not is left, named, and no longer undone.
    const bool idsLast = fs.idsSurviveRename(last.folder);
    std::set<std::size_t> notThatFile; // by index into last.done
    hooks.transform = [&, idsLast](int i, const std::u32string&) {
        const std::size_t at = last.done.size() - 1 - static_cast<std::size_t>(i);
        const RenameRecord& rec = last.done[at];
        const auto now = fs.entryInfo(last.folder, rec.newName);
        if (!now || !stillThatFile(*now, rec, idsLast, last.ended)) {
            notThatFile.insert(at);
            return TransformResult::left(LeftReason::NotThatFile);
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
    // What was put back, and what is no longer the pass's to undo, leave the
    // history; the rest (not reached, or a file skipped because its old name
    // is taken now) stays undoable.
    std::multiset<std::pair<std::string, std::string>> undone;
    for (const RenameRecord& d : r.done)
        undone.emplace(d.newName, d.oldName);
    std::vector<RenameRecord> left;
    for (std::size_t k = 0; k < last.done.size(); ++k) {
        const RenameRecord& rec = last.done[k];
        if (notThatFile.count(k))
            continue;
        if (const auto it = undone.find({rec.oldName, rec.newName}); it != undone.end()) {
            undone.erase(it);
            continue;
        }
        left.push_back(rec);
    }
    last.done = std::move(left);
    return r;
}

// Undoes a pass over a tree: folder by folder, newest first, so that a
// folder has its old name back before what is inside it is put back there.
// A folder whose own name could not be put back is found where it is.
// A folder below the pass's ("a/b") as a message names it, each part read
// as undo reads a name.
std::u32string shownSub(const std::string& sub) {
    std::u32string out;
    for (std::size_t i = 0; i < sub.size();) {
        std::size_t j = sub.find('/', i);
        if (j == std::string::npos)
            j = sub.size();
        out += (out.empty() ? U"" : U"/") + readName(std::string_view(sub).substr(i, j - i)).text;
        i = j + 1;
    }
    return out;
}

PassResult undoTree(PassResult& last, FileListSource& shown, FileSystem& fs,
                    const RenameTool& hooks) {
    PassResult whole;
    whole.folder = last.folder;
    if (hooks.guard && !hooks.guard()) {
        whole.outcome = PassResult::Outcome::Guarded;
        return whole;
    }
    const std::vector<Group> groups = groupsOf(last.done);
    auto parts = split(last.done, groups);
    const int total = static_cast<int>(last.done.size());
    int before = 0;
    NoList quiet;
    for (std::size_t k = groups.size(); k-- > 0;) {
        const std::string sub = parts[k].front().sub;
        const std::string now = whereNow(sub, recordsOf(parts, k + 1));
        PassResult part = partOf(last, std::move(parts[k]), now);
        const int count = part.renamed;
        PassResult r = undoFolder(part, quiet, fs, toolForPart(hooks, before, before, total));
        parts[k] = std::move(part.done);
        whole.renamed += r.renamed;
        for (RenameRecord& d : r.done) {
            d.sub = now;
            whole.done.push_back(std::move(d));
        }
        const std::u32string folder = shownSub(now);
        for (PassStep& st : r.unusual) {
            st.index += before;
            st.folder = folder;
            whole.unusual.push_back(std::move(st));
        }
        before += count;
        if (r.outcome == PassResult::Outcome::Stopped) {
            whole.outcome = r.outcome;
            whole.failure = std::move(r.failure);
            if (whole.failure && whole.failure->index >= 0)
                whole.failure->index += before - count;
            if (whole.failure)
                whole.failure->folder = folder;
            break;
        }
    }
    last.done.clear();
    for (auto& p : parts)
        for (RenameRecord& d : p)
            last.done.push_back(std::move(d));
    if (shown.Path() == last.folder)
        shown.Refresh();
    return whole;
}

} // namespace

PassResult UndoHistory::undoLast(FileListSource& shown, FileSystem& fs, RenameTool hooks) {
    if (m_passes.empty())
        return guardedPass();
    PassResult& last = m_passes.back();
    PassResult r = holdsTree(last.done) ? undoTree(last, shown, fs, hooks)
                                        : undoFolder(last, shown, fs, std::move(hooks));
    if (last.done.empty())
        m_passes.pop_back();
    return r;
}

} // namespace nw
