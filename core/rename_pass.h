#pragma once
// The walk every apply button runs: over the list's entries in order, renaming
// each selected entry inside the listed folder, stopping at the first failure,
// and re-reading the list only when the walk completes.
#include "core/custom_name.h"
#include "platform/file_system.h"
#include "platform/name_codec.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nw {

// What the pass needs of the file list.
class FileListSource {
public:
    virtual ~FileListSource() = default;
    virtual int ListCount() const = 0;
    virtual std::u32string List(int i) const = 0;
    // How the entry's name is written on disk; a new name keeps it.
    virtual NameEncoding Encoding(int i) const = 0;
    virtual bool Selected(int i) const = 0;
    virtual std::string Path() const = 0; // the listed folder, as bytes
    virtual void Refresh() = 0;
    // What the entry was when listed, and which folder was listed, where the
    // list knows: a pass renames nothing that has changed since.
    virtual std::optional<EntryShape> Shape(int i) const {
        (void)i;
        return std::nullopt;
    }
    virtual std::optional<FileId> FolderId() const { return std::nullopt; }
};

enum class FailureReason {
    FileSystem,     // the rename failed; see PassFailure::fs
    EmptyName,      // the new name is empty
    DotName,        // the new name is "." or ".."
    SlashInName,    // the new name holds "/" and would leave the folder
    NulInName,      // the new name holds a NUL character
    BadIncrement,   // the increment is not a number of -32768..32767
    NumberOverflow, // the running number would leave -32768..32767
    ProgramFile,    // the entry is the program's own executable or table
    UserStopped,    // the user stopped the pass before this entry
    JournalFailed,  // the pass's journal could not be written: nothing was renamed
    Replaced,       // undo: another file now has the name the pass gave
    KindChanged,    // the entry is no longer what was listed (now a folder, a link, ...)
};

// Checks that a new name is one path component, before the file system is
// asked. Nothing when the name is acceptable.
std::optional<FailureReason> CheckNewName(std::u32string_view name);

struct PassFailure {
    int index = -1;
    std::u32string oldName;
    std::optional<std::u32string> newName; // none when no name could be made
    FailureReason reason = FailureReason::FileSystem;
    FsStatus fs;
};

// One rename the pass made, as the names stand on disk.
struct RenameRecord {
    std::string oldName;
    std::string newName;
    // Which file it was, where the file system tells: undo renames back only
    // that file.
    std::optional<FileId> id;
};

struct PassResult {
    enum class Outcome { Guarded, Completed, Stopped };
    Outcome outcome = Outcome::Completed;
    int renamed = 0;
    std::optional<PassFailure> failure;
    std::string folder;
    std::vector<RenameRecord> done; // in the order they were made
};

// What the pass did at one selected entry.
enum class StepKind {
    Renamed,
    Unchanged, // renamed onto itself: the new name is the old one
    Left,      // the tool leaves this entry alone
    Refused,   // the new name was refused by the tool (it exists)
    Stopped,   // the pass ended here
};

struct PassStep {
    int index = -1;
    std::u32string oldName;
    std::optional<std::u32string> newName;
    StepKind kind = StepKind::Renamed;
};

// The transform's answer: a new name, or why there is none.
struct TransformResult {
    std::optional<std::u32string> name;
    std::optional<FailureReason> error; // only when there is no name
    // Where the new name must be written in a given encoding; by default it
    // keeps its old name's.
    std::optional<NameEncoding> encoding;

    static TransformResult of(std::u32string n) {
        return {std::move(n), std::nullopt, std::nullopt};
    }
    static TransformResult fail(FailureReason r) { return {std::nullopt, r, std::nullopt}; }
};

// One page's tool; only transform is required.
struct RenameTool {
    // Before the walk; false: nothing at all happens, not even a re-read.
    std::function<bool()> guard;
    // The test of the old name; false skips the entry.
    std::function<bool(const std::u32string& oldName)> wantsEntry;
    // Called at most once per selected entry, in list order, with the
    // entry's index in the list.
    std::function<TransformResult(int index, const std::u32string& oldName)> transform;
    // The test of the new name (newBytes: as it will be written); false skips
    // the entry (the hook tells the user).
    std::function<bool(const std::string& folder, const std::u32string& newName,
                       const std::string& newBytes)>
        wantsNewName;
    // Only entries whose name is written in this encoding; the others are
    // left alone.
    std::optional<NameEncoding> onlyEncoding;
    // Whether an entry is one of the program's own files, which are never
    // renamed.
    std::function<bool(const std::string& folder, const std::string& oldBytes)> isProgramFile;
    // Between selected entries: how many are done of how many are selected.
    // false stops the pass before the next one.
    std::function<bool(int done, int selected)> progress;
    // Told what happened at each selected entry the pass reached.
    std::function<void(const PassStep&)> observe;
};

PassResult RunRenamePass(FileListSource& list, FileSystem& fs, const RenameTool& tool);

// The same pass, with plan (the renames it is expected to make) kept in the
// file system's journal while it runs, where the file system needs one. A
// journal that cannot be written stops the pass before its first rename.
PassResult RunJournalledPass(FileListSource& list, FileSystem& fs, const RenameTool& tool,
                             const std::vector<PlannedRename>& plan);

FailureReason reasonOf(CustomNameError e);

} // namespace nw
