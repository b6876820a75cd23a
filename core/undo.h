#pragma once
// What the passes renamed, and taking it back pass by pass: the last pass's
// renames in reverse order, through the same walk, never replacing. An undo
// that stops keeps what it could not put back.
#include "core/rename_pass.h"
#include "platform/history.h"

#include <vector>

namespace nw {

class UndoHistory {
public:
    // Keeps what a pass renamed, if it renamed anything.
    void record(PassResult pass);
    bool empty() const { return m_passes.empty(); }
    std::size_t passes() const { return m_passes.size(); }
    // The folder of the last pass (empty where there is none).
    std::string lastFolder() const {
        return m_passes.empty() ? std::string() : m_passes.back().folder;
    }
    // The last pass as it stands (what undo has yet to put back); none
    // where there is no pass.
    const PassResult* lastPass() const { return m_passes.empty() ? nullptr : &m_passes.back(); }

    // Renames the last pass's files back. shown is the list on the screen: it
    // is re-read when the undo went through its folder. observe and
    // isProgramFile are passed on to the walk. A file no longer the one the
    // pass renamed is left, named in the result's unusual steps, and no
    // longer undone; what was not reached stays undoable.
    PassResult undoLast(FileListSource& shown, FileSystem& fs, RenameTool hooks = {});

private:
    std::vector<PassResult> m_passes;
};

// What undoing a pass would do to each of its renames, newest first: the
// name back, or why not.
struct UndoStep {
    std::string newName, oldName; // as bytes: the name now, the name undo gives back
    enum State { Ready, NotThatFile, OldNameTaken } state = Ready;
};
std::vector<UndoStep> previewUndo(const PassResult& pass, FileSystem& fs);

// A pass as the history on disk keeps it, and back.
HistoryRecord historyRecordOf(const PassResult& pass, FileId folderId, std::string tool,
                              std::int64_t time, bool undo);
PassResult passOfRecord(const HistoryRecord& record);

} // namespace nw
