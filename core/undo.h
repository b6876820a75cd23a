#pragma once
// What the passes renamed, in memory only, and taking it back pass by pass:
// the last pass's renames in reverse order, through the same walk, never
// replacing. An undo that stops keeps what it could not put back.
#include "core/rename_pass.h"

#include <vector>

namespace nw {

class UndoHistory {
public:
    // Keeps what a pass renamed, if it renamed anything.
    void record(const PassResult& pass);
    bool empty() const { return m_passes.empty(); }
    std::size_t passes() const { return m_passes.size(); }

    // Renames the last pass's files back. shown is the list on the screen: it
    // is re-read when the undo went through its folder. observe and
    // isProgramFile are passed on to the walk.
    PassResult undoLast(FileListSource& shown, FileSystem& fs, RenameTool hooks = {});

private:
    std::vector<PassResult> m_passes;
};

} // namespace nw
