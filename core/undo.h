#pragma once
// What the passes renamed, in memory only, and taking it back pass by pass:
// the last pass's renames in reverse order, through the same walk, never
// replacing. An undo that stops keeps what it could not put back.
#include "core/rename_pass.h"
#include "platform/history.h"

#include <vector>

namespace nw {

class UndoHistory {
public:
    // Keeps what a pass renamed, if it renamed anything; recordName: its
    // record in the history on disk, where it has one.
    void record(const PassResult& pass, std::string recordName = {});
    bool empty() const { return m_passes.empty(); }
    std::size_t passes() const { return m_passes.size(); }
    // The folder of the last pass (empty where there is none), and the names
    // its files still have there that undo has yet to put back, oldest first.
    std::string lastFolder() const {
        return m_passes.empty() ? std::string() : m_passes.back().folder;
    }
    std::vector<std::string> lastNewNames() const;
    // The last pass as it stands (what undo has yet to put back), and its
    // record on disk; none where there is no pass.
    const PassResult* lastPass() const { return m_passes.empty() ? nullptr : &m_passes.back(); }
    std::string lastRecord() const { return m_records.empty() ? std::string() : m_records.back(); }

    // Renames the last pass's files back. shown is the list on the screen: it
    // is re-read when the undo went through its folder. observe and
    // isProgramFile are passed on to the walk.
    PassResult undoLast(FileListSource& shown, FileSystem& fs, RenameTool hooks = {});
    // The same for the pass kept in the history on disk under that record
    // (an older one, say); a guarded pass where there is none.
    PassResult undoRecord(const std::string& record, FileListSource& shown, FileSystem& fs,
                          RenameTool hooks = {});
    // Whether a pass of that record can still be undone, and what it has
    // yet to put back (none where it has nothing).
    bool holds(const std::string& record) const { return pass(record) != nullptr; }
    const PassResult* pass(const std::string& record) const;

private:
    PassResult undoPass(std::size_t index, FileListSource& shown, FileSystem& fs, RenameTool hooks);
    std::vector<PassResult> m_passes;
    std::vector<std::string> m_records; // beside m_passes
};

// A pass as the history on disk keeps it, and back.
HistoryRecord historyRecordOf(const PassResult& pass, FileId folderId, std::string tool,
                              std::int64_t time, bool undo);
PassResult passOfRecord(const HistoryRecord& record);

} // namespace nw
