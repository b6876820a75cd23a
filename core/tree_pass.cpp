#include "core/tree_pass.h"

#include <utility>

namespace nw {
namespace {

// Entries [begin, end) of the list, all in one folder.
struct Run {
    int begin = 0, end = 0;
    std::string sub;
    int selected = 0;
};

std::vector<Run> runsOf(const FileListSource& list) {
    std::vector<Run> runs;
    for (int i = 0; i < list.ListCount(); ++i) {
        std::string sub = list.Sub(i);
        if (runs.empty() || runs.back().sub != sub)
            runs.push_back(Run{i, i, std::move(sub), 0});
        runs.back().end = i + 1;
        runs.back().selected += list.Selected(i) ? 1 : 0;
    }
    return runs;
}

// One run of the list as a list of its own, in its folder; re-reading waits
// for the end of the whole pass.
class RunView : public FileListSource {
public:
    RunView(FileListSource& list, const Run& run) : m_list(list), m_run(run) {}
    int ListCount() const override { return m_run.end - m_run.begin; }
    std::u32string List(int i) const override { return m_list.List(at(i)); }
    NameEncoding Encoding(int i) const override { return m_list.Encoding(at(i)); }
    std::string Bytes(int i) const override { return m_list.Bytes(at(i)); }
    bool Selected(int i) const override { return m_list.Selected(at(i)); }
    std::string Path() const override {
        return m_run.sub.empty() ? m_list.Path() : joinPath(m_list.Path(), m_run.sub);
    }
    void Refresh() override {}
    std::optional<EntryShape> Shape(int i) const override { return m_list.Shape(at(i)); }
    // Which folder the list's own is; those below are held as they are now.
    std::optional<FileId> FolderId() const override {
        return m_run.sub.empty() ? m_list.FolderId() : std::nullopt;
    }
    bool Unsure(int i) const override { return m_list.Unsure(at(i)); }

private:
    int at(int i) const { return m_run.begin + i; }
    FileListSource& m_list;
    const Run& m_run;
};

RenameTool forRun(const RenameTool& tool, const Run& run, int doneBefore, int selectedTotal) {
    return toolForPart(tool, run.begin, doneBefore, selectedTotal);
}

// Adds what one run did to the whole pass; true where it stopped there.
bool merge(PassResult& whole, PassResult r, const FileListSource& list, const Run& run,
           std::vector<RenameRecord>* runRecords = nullptr) {
    const std::u32string folder = list.SubName(run.begin);
    whole.renamed += r.renamed;
    for (RenameRecord& d : r.done) {
        d.sub = run.sub;
        if (runRecords)
            runRecords->push_back(d);
        whole.done.push_back(std::move(d));
    }
    for (PassStep& s : r.unusual) {
        s.index += run.begin;
        s.folder = folder;
        whole.unusual.push_back(std::move(s));
    }
    if (r.outcome != PassResult::Outcome::Stopped)
        return false;
    whole.outcome = PassResult::Outcome::Stopped;
    whole.failure = std::move(r.failure);
    if (whole.failure && whole.failure->index >= 0)
        whole.failure->index += run.begin;
    if (whole.failure)
        whole.failure->folder = folder;
    return true;
}

// The first selected entry of a run, which a stop before the run names.
int firstSelected(const FileListSource& list, const Run& run) {
    for (int i = run.begin; i < run.end; ++i)
        if (list.Selected(i))
            return i;
    return run.begin;
}

// The dry run over every run, with one tool; where asked, what each run
// renamed.
Preview dryTree(FileListSource& list, FileSystem& fs,
                const std::function<RenameTool(FileSystem&)>& makeTool,
                std::vector<std::vector<RenameRecord>>* perRun) {
    Preview p;
    p.pass.folder = list.Path();
    const std::vector<Run> runs = runsOf(list);
    if (perRun)
        perRun->assign(runs.size(), {});
    RecordingFileSystem memory(fs, list.Path());
    RenameTool tool = makeTool(memory);
    tool.progress = nullptr;
    tool.observe = [&](const PassStep& s) {
        p.rows.push_back(previewRowOf(s, list.Encoding(s.index)));
        p.rows.back().folder = list.SubName(s.index);
        p.rows.back().isFolder = isFolderEntry(list, s.index);
    };
    if (tool.guard && !tool.guard()) {
        p.pass.outcome = PassResult::Outcome::Guarded;
        return p;
    }
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (runs[k].selected == 0)
            continue;
        RunView view(list, runs[k]);
        if (!merge(p.pass, RunRenamePass(view, memory, forRun(tool, runs[k], 0, 0)), list, runs[k],
                   perRun ? &(*perRun)[k] : nullptr))
            continue;
        addNotReached(p, list, p.pass.failure ? p.pass.failure->index + 1 : runs[k].end);
        break;
    }
    return p;
}

} // namespace

RenameTool toolForPart(const RenameTool& tool, int begin, int doneBefore, int total) {
    RenameTool t = tool;
    t.guard = nullptr;
    if (tool.transform)
        t.transform = [&tool, begin](int i, const std::u32string& name) {
            return tool.transform(begin + i, name);
        };
    if (tool.observe)
        t.observe = [&tool, begin](const PassStep& s) {
            PassStep whole = s;
            whole.index += begin;
            tool.observe(whole);
        };
    if (tool.progress)
        t.progress = [&tool, doneBefore, total](int done, int) {
            return tool.progress(doneBefore + done, total);
        };
    return t;
}

bool holdsTree(const FileListSource& list) {
    for (int i = 0; i < list.ListCount(); ++i)
        if (!list.Sub(i).empty())
            return true;
    return false;
}

PassResult RunTreePass(FileListSource& list, FileSystem& fs, const RenameTool& tool,
                       const std::function<RenameTool(FileSystem&)>& planTool) {
    if (!holdsTree(list))
        return RunPlannedPass(list, fs, tool, planTool);
    PassResult whole;
    whole.folder = list.Path();
    if (tool.guard && !tool.guard()) {
        whole.outcome = PassResult::Outcome::Guarded;
        return whole;
    }
    const std::vector<Run> runs = runsOf(list);
    int selectedTotal = 0;
    bool journal = false;
    for (const Run& run : runs) {
        selectedTotal += run.selected;
        journal = journal || (run.selected > 0 && fs.needsJournal(RunView(list, run).Path()));
    }
    // Where a drive needs a journal, each run's renames are known before the
    // first is made: a dry run of the whole tree with the plan's one tool.
    std::vector<std::vector<RenameRecord>> planned;
    if (journal)
        dryTree(list, fs, planTool, &planned);
    int doneBefore = 0;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const Run& run = runs[k];
        if (run.selected == 0)
            continue;
        // A stop asked for between two runs comes before the next one.
        if (tool.progress && doneBefore > 0 && !tool.progress(doneBefore, selectedTotal)) {
            const int at = firstSelected(list, run);
            whole.outcome = PassResult::Outcome::Stopped;
            whole.failure =
                PassFailure{at, list.List(at),   std::nullopt, FailureReason::UserStopped, {},
                            0,  list.SubName(at)};
            if (tool.observe)
                tool.observe(PassStep{
                    at, list.List(at), std::nullopt, StepKind::Stopped, LeftReason::Tool, 0, {}});
            break;
        }
        RunView view(list, run);
        const RenameTool t = forRun(tool, run, doneBefore, selectedTotal);
        PassResult r;
        if (fs.needsJournal(view.Path())) {
            std::vector<PlannedRename> plan;
            if (k < planned.size())
                for (const RenameRecord& d : planned[k])
                    plan.push_back(PlannedRename{d.oldName, d.newName});
            r = RunJournalledPass(view, fs, t, plan);
        } else {
            r = RunRenamePass(view, fs, t);
        }
        if (merge(whole, std::move(r), list, run))
            break;
        doneBefore += run.selected;
    }
    // As over one folder: the list is read again once the walk completes;
    // where it stopped, the entries it did not reach are still the list's.
    if (whole.outcome != PassResult::Outcome::Stopped)
        list.Refresh();
    return whole;
}

Preview DryRunTree(FileListSource& list, FileSystem& fs,
                   const std::function<RenameTool(FileSystem&)>& makeTool) {
    if (!holdsTree(list))
        return DryRun(list, fs, makeTool);
    return dryTree(list, fs, makeTool, nullptr);
}

} // namespace nw
