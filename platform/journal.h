#pragma once
// The journal of a pass over a folder whose file system cannot rename in one
// step (no RENAME_NOREPLACE, or letter case ignored): the pass's plan, written
// and flushed before the first rename and removed when the pass ends. A
// journal found later means a pass was cut off (a crash, a power cut, a pulled
// stick); recovery then puts every planned file under exactly one of its two
// names, with its content.
#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nw {

// Where journals are kept: $XDG_STATE_HOME/namewright, else
// ~/.local/state/namewright (the home folder from $HOME, else the password
// database). Empty where there is no home: then no pass that needs a journal
// runs, rather than keeping one where other users could write.
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
    // missing, mode 0700, and refused if another user owns it or others may
    // write it) and flushes it to disk. idsStable: the drive keeps the
    // folder's device and inode numbers, so recovery may insist on them.
    static FsStatus begin(const std::string& stateFolder, const std::string& folder,
                          const std::vector<PlannedRename>& plan, PassJournal& out,
                          bool idsStable = true);
    bool active() const { return m_fd >= 0; }
    // Marks the rename about to be made, so that recovery knows which file
    // was in flight. A mark that cannot be written answers JournalUnwritable:
    // the rename must not be made.
    FsStatus started(const std::string& oldName, const std::string& newName);
    // clean: the folder holds no file between two names. Otherwise the
    // journal is kept, unlocked, for recovery.
    void finish(bool clean = true);

private:
    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_planSum = 0;
};

// Finishes or rolls back the one step each interrupted pass was in, and
// removes the temporary and placeholder files it had made. Journals of passes
// still running (locked) are left alone; a journal that is damaged, names
// another folder than the one renamed in, or leaves something it cannot
// settle is set aside and reported, never acted on.
RecoveryReport recoverInterruptedPasses(FileSystem& fs, const std::string& stateFolder);

} // namespace nw
