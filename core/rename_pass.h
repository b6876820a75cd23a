#pragma once
// The walk every apply button runs: over the list's entries in order, renaming
// each selected entry inside the listed folder, stopping at the first failure,
// and re-reading the list only when the walk completes.
#include "core/custom_name.h"
#include "platform/file_system.h"
#include "platform/name_codec.h"

#include <cstdint>
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
    // The entry's name as it stands on disk.
    virtual std::string Bytes(int i) const { return writeName(List(i), Encoding(i)); }
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
    // Whether the entry's name was read in a code page judged without
    // certainty: its characters may be misread.
    virtual bool Unsure(int i) const {
        (void)i;
        return false;
    }
    // The folder below Path() the entry is in, as bytes ("a/b"; empty: Path()
    // itself), where the list holds a whole tree.
    virtual std::string Sub(int i) const {
        (void)i;
        return {};
    }
    // That folder as the list shows it ("a/b").
    virtual std::u32string SubName(int i) const {
        (void)i;
        return {};
    }
};

enum class FailureReason {
    FileSystem,      // the rename failed; see PassFailure::fs
    EmptyName,       // the new name is empty
    DotName,         // the new name is "." or ".."
    SlashInName,     // the new name holds "/" and would leave the folder
    NulInName,       // the new name holds a NUL character
    BadIncrement,    // the increment is not a number of -32768..32767
    NumberOverflow,  // the running number would leave -32768..32767
    BadStart,        // the start is not a whole number of -32768..32767
    BadWidth,        // the width is not 1-9
    ProgramFile,     // the entry is the program's own executable or table
    UserStopped,     // the user stopped the pass before this entry
    JournalFailed,   // the pass's journal could not be written: nothing was renamed
    KindChanged,     // the entry is no longer what was listed (now a folder, a link, ...)
    PatternTimedOut, // a regular expression ran past its time limit on this name
    BadReplacement,  // the replacement names a group the pattern does not have
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
    std::size_t newBytes = 0; // the new name's length in bytes, where it was made
    // In a pass over a tree, the entry's folder below the list's as the list
    // showed it ("a/b"); empty: the list's folder itself.
    std::u32string folder = {};
};

// One rename the pass made, as the names stand on disk.
struct RenameRecord {
    std::string oldName;
    std::string newName;
    // Which file it was, where the file system tells: undo renames back only
    // that file.
    std::optional<FileId> id;
    // What the drive keeps of it where its numbers do not last (FUSE).
    std::optional<FileStamp> stamp;
    // The folder it is in below the pass's folder ("a/b"), in a pass over a
    // tree; empty: the pass's folder itself.
    std::string sub;
};

// Why the pass leaves a selected entry alone.
enum class LeftReason : std::uint8_t {
    Tool,          // the tool has nothing to do there (extension already so, text not found)
    Undecoded,     // no code page reads the name: its characters are not known
    Unsure,        // read in a code page judged without certainty: may be misread
    TooLongInUtf8, // in UTF-8 the name would pass the limit of a name's bytes
    NotThatFile,   // undo: the name no longer stands for the file the pass renamed
    NoFacts,       // what the file holds could not be read (damaged, unknown format)
    MissingField,  // the file does not hold a field the new name needs (named in note)
    FolderLost,    // a folder on a drive that would lose what it holds if it were renamed
};

// What the pass did at one selected entry.
enum class StepKind {
    Renamed,
    Unchanged, // renamed onto itself: the new name is the old one
    Left,      // the tool leaves this entry alone
    Refused,   // the new name was refused by the tool (it exists)
    Stopped,   // the pass ended here
};

// A name with the folder it is in below the list's ("a/b/name"), as
// messages name it; the name alone where the folder is the list's own.
inline std::u32string withFolder(const std::u32string& folder, const std::u32string& name) {
    return folder.empty() ? name : folder + U'/' + name;
}

struct PassStep {
    int index = -1;
    std::u32string oldName;
    std::optional<std::u32string> newName;
    StepKind kind = StepKind::Renamed;
    LeftReason left = LeftReason::Tool; // where left alone
    std::size_t bytes = 0;              // TooLongInUtf8: the new name's bytes
    // What the tool says of the entry: the field it lacks, or how it read
    // what made the new name (a tag's code page).
    std::u32string note;
    std::u32string folder = {}; // as PassFailure::folder
};

struct PassResult {
    enum class Outcome { Guarded, Completed, Stopped };
    Outcome outcome = Outcome::Completed;
    int renamed = 0;
    std::optional<PassFailure> failure;
    std::string folder;
    std::vector<RenameRecord> done; // in the order they were made
    // The entries left alone for a reason the user should hear of: names
    // that could not be read, new names that would be too long.
    std::vector<PassStep> unusual;
    // When the pass ended, seconds since the epoch (0: not known).
    std::int64_t ended = 0;
};

// The answer of a pass that did not start.
inline PassResult guardedPass() {
    PassResult r;
    r.outcome = PassResult::Outcome::Guarded;
    return r;
}

// The transform's answer: a new name, or why there is none.
struct TransformResult {
    std::optional<std::u32string> name;
    std::optional<FailureReason> error; // only when there is no name
    // Where the new name must be written in a given encoding; by default it
    // keeps its old name's.
    std::optional<NameEncoding> encoding;
    // The new name exactly as these bytes (undo: the name that was there).
    std::optional<std::string> bytes;
    // Neither a name nor a failure: the entry is left alone, for this reason.
    std::optional<LeftReason> leave;
    std::size_t leaveBytes = 0;
    std::u32string note; // see PassStep::note

    static TransformResult of(std::u32string n) {
        TransformResult t;
        t.name = std::move(n);
        return t;
    }
    static TransformResult fail(FailureReason r) {
        TransformResult t;
        t.error = r;
        return t;
    }
    static TransformResult left(LeftReason r, std::size_t bytes = 0) {
        TransformResult t;
        t.leave = r;
        t.leaveBytes = bytes;
        return t;
    }
};

// One page's tool; only transform is required.
struct RenameTool {
    // The tool and its settings in words, as the history names the pass.
    std::string description;
    // Before the walk; false: nothing at all happens, not even a re-read.
    std::function<bool()> guard;
    // The test of the old name; false skips the entry.
    std::function<bool(const std::u32string& oldName)> wantsEntry;
    // Called at most once per selected entry, in list order, with the
    // entry's index in the list.
    std::function<TransformResult(int index, const std::u32string& oldName)> transform;
    // The test of the new name (newBytes: as it will be written) for the
    // entry of oldName; false skips the entry (the hook tells the user).
    std::function<bool(const std::string& folder, const std::u32string& oldName,
                       const std::u32string& newName, const std::string& newBytes)>
        wantsNewName;
    // Asked after the new name was refused: true stops the pass at this entry
    // (the user chose to stop there), which stays as it was.
    std::function<bool()> stopAfterRefusal;
    // For tools that do not test their new names beforehand: asked when the
    // drive refuses a new name because another entry has it. true refuses
    // the new name (the entry stays, and stopAfterRefusal decides whether the
    // pass goes on); unset or false, the pass stops there with the reason.
    std::function<bool(const std::u32string& oldName, const std::u32string& newName)> skipTaken;
    // The tool works on the characters of the old name: a name whose bytes
    // no code page reads is left alone, byte for byte.
    bool readsCharacters = true;
    // Only entries whose name is written in a legacy code page; the others
    // are left alone.
    bool onlyLegacyNames = false;
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
