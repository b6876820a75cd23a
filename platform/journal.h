#pragma once
// The journal of a pass over a folder whose file system cannot rename in one
// step (no RENAME_NOREPLACE, or letter case ignored): the pass's plan, written
// and flushed before the first rename and removed when the pass ends. A
// journal found later means a pass was cut off (a crash, a power cut, a pulled
// stick); recovery then puts every planned file under exactly one of its two
// names, with its content.
#include "platform/file_system.h"

#include <optional>
#include <string>
#include <vector>

namespace nw {

// Where journals are kept: $XDG_STATE_HOME/namewright, else
// ~/.local/state/namewright.
std::string journalFolder();

// The temporary names a pass uses are ".namewright-<pid>-<n>.tmp": the
// program's own, and recovery knows whose they are by the process number.
std::string temporaryName(long pid, int n);

// A journal being kept: the file stays locked while the pass runs, so that
// another copy of the program never takes it for an interrupted one.
class PassJournal {
public:
    PassJournal() = default;
    PassJournal(PassJournal&& other) noexcept;
    PassJournal& operator=(PassJournal&& other) noexcept;
    PassJournal(const PassJournal&) = delete;
    PassJournal& operator=(const PassJournal&) = delete;
    // Removes the journal: the pass has ended, one way or another.
    ~PassJournal();

    // Writes the plan for folder into a new journal in stateFolder (made if
    // missing) and flushes it to disk.
    static FsStatus begin(const std::string& stateFolder, const std::string& folder,
                          const std::vector<PlannedRename>& plan, PassJournal& out);
    bool active() const { return m_fd >= 0; }
    // Marks the rename about to be made, so that recovery knows which file
    // was in flight.
    void started(const std::string& oldName, const std::string& newName);
    void finish();

private:
    int m_fd = -1;
    std::string m_path;
};

// Finishes or rolls back the one step each interrupted pass was in, and
// removes the temporary and placeholder files it had made. Journals of passes
// still running (locked) are left alone.
RecoveryReport recoverInterruptedPasses(FileSystem& fs, const std::string& stateFolder);

} // namespace nw
