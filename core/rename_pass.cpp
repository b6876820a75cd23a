#include "core/rename_pass.h"

#include "platform/name_codec.h"

namespace nw {

std::optional<FailureReason> CheckNewName(std::u32string_view name) {
    if (name.empty())
        return FailureReason::EmptyName;
    if (name == U"." || name == U"..")
        return FailureReason::DotName;
    if (name.find(U'/') != std::u32string_view::npos)
        return FailureReason::SlashInName;
    if (name.find(U'\0') != std::u32string_view::npos)
        return FailureReason::NulInName;
    return std::nullopt;
}

FailureReason reasonOf(CustomNameError e) {
    switch (e) {
    case CustomNameError::BadIncrement: return FailureReason::BadIncrement;
    case CustomNameError::BadStart: return FailureReason::BadStart;
    case CustomNameError::BadWidth: return FailureReason::BadWidth;
    case CustomNameError::NumberOverflow: break;
    }
    return FailureReason::NumberOverflow;
}

PassResult RunRenamePass(FileListSource& list, FileSystem& fs, const RenameTool& tool) {
    PassResult result;
    result.folder = list.Path();
    if (tool.guard && !tool.guard()) {
        result.outcome = PassResult::Outcome::Guarded;
        return result;
    }
    auto tell = [&](int i, const std::u32string& oldName,
                    const std::optional<std::u32string>& newName, StepKind kind,
                    LeftReason why = LeftReason::Tool, std::size_t bytes = 0,
                    std::u32string note = {}) {
        const PassStep step{i, oldName, newName, kind, why, bytes, std::move(note)};
        if (kind == StepKind::Left && why != LeftReason::Tool)
            result.unusual.push_back(step);
        if (tool.observe)
            tool.observe(step);
    };
    auto stop = [&](int i, const std::u32string& oldName, std::optional<std::u32string> newName,
                    FailureReason reason, FsStatus st = {}) {
        tell(i, oldName, newName, StepKind::Stopped);
        result.outcome = PassResult::Outcome::Stopped;
        result.failure = PassFailure{i, oldName, std::move(newName), reason, st};
        return result;
    };
    const int n = list.ListCount();
    // The listed folder does not change while the pass runs: it is held open,
    // and a folder moved or replaced since it was listed is not renamed in.
    const std::string folder = list.Path();
    struct Hold {
        FileSystem& fs;
        ~Hold() { fs.releaseFolder(); }
    } hold{fs};
    const FsStatus held = fs.holdFolder(folder, list.FolderId());
    const bool keepIds = fs.idsSurviveRename(folder);
    int selected = 0, done = 0;
    if (tool.progress)
        for (int i = 0; i < n; ++i)
            selected += list.Selected(i) ? 1 : 0;
    for (int i = 0; i < n; ++i) {
        if (!list.Selected(i))
            continue;
        // Asked between entries, so that a stop comes before the next one.
        if (tool.progress && done > 0 && !tool.progress(done, selected))
            return stop(i, list.List(i), std::nullopt, FailureReason::UserStopped);
        ++done;
        if (!held.ok())
            return stop(i, list.List(i), std::nullopt, FailureReason::FileSystem, held);
        const NameEncoding encoding = list.Encoding(i);
        const std::u32string oldName = list.List(i);
        // Bytes that were never read as characters are never changed by a
        // tool that works on characters.
        if (tool.readsCharacters && isUndecoded(oldName)) {
            tell(i, oldName, std::nullopt, StepKind::Left, LeftReason::Undecoded);
            continue;
        }
        // Nor a name its code page may have misread: writing the characters
        // read would change bytes the user never saw.
        if (tool.readsCharacters && list.Unsure(i)) {
            tell(i, oldName, std::nullopt, StepKind::Left, LeftReason::Unsure);
            continue;
        }
        if (const auto shape = list.Shape(i); shape && shape->kind == EntryKind::Folder &&
                                              !shape->link && !fs.renamesFolders(folder)) {
            tell(i, oldName, std::nullopt, StepKind::Left, LeftReason::FolderLost);
            continue;
        }
        if ((tool.onlyLegacyNames && encoding == NameEncoding::Utf8) ||
            (tool.wantsEntry && !tool.wantsEntry(oldName))) {
            tell(i, oldName, std::nullopt, StepKind::Left);
            continue;
        }
        TransformResult t = tool.transform(i, oldName);
        if (t.leave) {
            tell(i, oldName, std::nullopt, StepKind::Left, *t.leave, t.leaveBytes, t.note);
            continue;
        }
        if (!t.name)
            return stop(i, oldName, std::nullopt, t.error.value_or(FailureReason::EmptyName));
        const std::u32string& newName = *t.name;
        if (auto bad = CheckNewName(newName))
            return stop(i, oldName, newName, *bad);
        std::string oldBytes = list.Bytes(i);
        // A name the tool leaves as it was keeps its bytes, whatever they are.
        std::string newBytes = t.bytes ? *t.bytes
                               : (newName == oldName && !t.encoding)
                                   ? oldBytes
                                   : writeName(newName, t.encoding.value_or(encoding));
        if (oldBytes != newBytes && tool.isProgramFile && tool.isProgramFile(folder, oldBytes))
            return stop(i, oldName, newName, FailureReason::ProgramFile);
        if (tool.wantsNewName && !tool.wantsNewName(folder, oldName, newName, newBytes)) {
            if (tool.stopAfterRefusal && tool.stopAfterRefusal())
                return stop(i, oldName, newName, FailureReason::UserStopped);
            tell(i, oldName, newName, StepKind::Refused);
            continue;
        }
        const std::optional<EntryInfo> now =
            oldBytes == newBytes ? std::nullopt : fs.entryInfo(folder, oldBytes);
        // Gone since it was listed (another program moved or deleted it): no
        // step that creates a name is taken for a file that is not there.
        if (oldBytes != newBytes && !now) {
            FsStatus why = fs.whyMissing(folder, oldBytes);
            if (why.ok()) // back meanwhile: still not the entry looked at
                why = FsStatus{FsError::NotFound, 0};
            return stop(i, oldName, newName, FailureReason::FileSystem, why);
        }
        if (const auto listed = list.Shape(i); listed && now && now->shape != *listed)
            return stop(i, oldName, newName, FailureReason::KindChanged);
        const FsStatus st = fs.rename(folder, oldBytes, newBytes);
        if (st.error == FsError::Exists && st.putBackError == 0 && st.leftAs.empty() &&
            tool.skipTaken && tool.skipTaken(oldName, newName)) {
            if (tool.stopAfterRefusal && tool.stopAfterRefusal())
                return stop(i, oldName, newName, FailureReason::UserStopped);
            tell(i, oldName, newName, StepKind::Refused);
            continue;
        }
        if (!st.ok()) {
            stop(i, oldName, newName, FailureReason::FileSystem, st);
            result.failure->newBytes = newBytes.size();
            return result;
        }
        ++result.renamed;
        const bool unchanged = oldBytes == newBytes;
        tell(i, oldName, newName, unchanged ? StepKind::Unchanged : StepKind::Renamed,
             LeftReason::Tool, 0, t.note);
        if (!unchanged) {
            std::optional<FileId> id;
            if (now && keepIds)
                id = now->id;
            else if (const auto after = fs.entryInfo(folder, newBytes))
                id = after->id;
            std::optional<FileStamp> stamp;
            if (now)
                stamp = now->stamp;
            result.done.push_back(
                RenameRecord{std::move(oldBytes), std::move(newBytes), id, stamp, {}});
        }
    }
    list.Refresh();
    return result;
}

PassResult RunJournalledPass(FileListSource& list, FileSystem& fs, const RenameTool& tool,
                             const std::vector<PlannedRename>& plan) {
    const std::string folder = list.Path();
    if (!fs.needsJournal(folder))
        return RunRenamePass(list, fs, tool);
    if (const FsStatus st = fs.beginPass(folder, plan, tool.description); !st.ok()) {
        PassResult refused;
        refused.folder = folder;
        refused.outcome = PassResult::Outcome::Stopped;
        refused.failure = PassFailure{-1, {}, std::nullopt, FailureReason::JournalFailed, st};
        return refused;
    }
    PassResult r = RunRenamePass(list, fs, tool);
    // A step that could not be put back leaves a file between two names:
    // the journal stays, and recovery finishes the job.
    const bool clean =
        !r.failure || (r.failure->fs.leftAs.empty() && r.failure->fs.putBackError == 0);
    fs.endPass(clean);
    return r;
}

} // namespace nw
