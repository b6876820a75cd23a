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
// Whether a name is one temporaryName gave process pid.
bool isTemporaryName(const std::string& name, long pid);

// What a journal holds: the plan of a pass over one folder, and a mark for
// each rename it began, the last the one in flight.
struct JournalContents {
    std::uint64_t pid = 0;
    bool idsStable = true; // the drive keeps its numbers: the folder's must match
    std::string tool;      // the tool and its settings, in words, for the user
    std::string folder;
    FileId folderId;
    std::vector<PlannedRename> plan;
    std::vector<PlannedRename> marks;
};

// A journal's bytes: the plan with its check, then the marks, each checked.
std::string journalBytes(const JournalContents& j);
// What the bytes of a journal say; none where the plan is damaged or names
// anything outside its one folder (marks are hints: they end at the first
// that does not check). folder: the journal's folder, where it could be read
// even from a damaged journal.
std::optional<JournalContents> readJournal(const std::string& bytes, std::string* folder = nullptr);

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

    // Writes the plan for folder (folderId: which folder it is) into a new
    // journal in stateFolder (made if missing, mode 0700, and refused if
    // another user owns it or others may write it) and flushes it to disk.
    // idsStable: the drive keeps the folder's device and inode numbers, so
    // recovery may insist on them. tool: what the pass does, in words, so
    // that the user can be told which pass was cut off.
    static FsStatus begin(const std::string& stateFolder, const std::string& folder,
                          FileId folderId, const std::vector<PlannedRename>& plan, PassJournal& out,
                          bool idsStable = true, const std::string& tool = {});
    // The same, for the folder found at that path now.
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
