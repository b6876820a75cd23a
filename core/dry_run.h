#pragma once
// A pass without touching the disk: the same walk and the same tool over an
// in-memory copy of the folder's names, each planned rename updating it.
#include "core/rename_pass.h"

#include <functional>
#include <unordered_map>

namespace nw {

// The names of folders in memory: renames are checked and recorded as the
// real file system would check them (never replacing, and taking names that
// differ only in letter case for one where it does), and nothing else is
// touched. A folder's names are read when it is first asked about (the
// listed one at once). Which file a name stands for is asked of the real one.
class RecordingFileSystem : public FileSystem {
public:
    // A folder that cannot be read holds no names: every rename then fails
    // as it would on the disk.
    RecordingFileSystem(FileSystem& real, const std::string& folder);

    std::vector<std::string> mounts() override { return m_real.mounts(); }
    bool renamesFolders(const std::string& folder) override {
        return m_real.renamesFolders(folder);
    }
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override;
    bool isWritable(const std::string& folder, const std::string& name) override {
        return m_real.isWritable(folder, name);
    }
    FsStatus rename(const std::string& folder, const std::string& oldName,
                    const std::string& newName) override;
    bool regularFileExists(const std::string& folder, const std::string& name) override;
    std::optional<FileId> fileId(const std::string& folder, const std::string& name) override {
        return m_real.fileId(folder, name);
    }
    // What a name stands for, from the copy: the disk is not asked once per
    // entry. Identities are not known here.
    std::optional<EntryInfo> entryInfo(const std::string& folder, const std::string& name) override;

private:
    struct Names {
        bool ignoresCase = false;
        std::unordered_map<std::string, EntryShape> names;
        std::unordered_map<std::string, std::string> keys; // key -> name, where case is ignored
        // The name as the file system compares it.
        std::string key(const std::string& name) const;
        // The entry a name stands for on the file system, if any.
        std::unordered_map<std::string, EntryShape>::iterator find(const std::string& name);
    };
    Names& names(const std::string& folder);

    FileSystem& m_real;
    std::unordered_map<std::string, Names> m_folders;
};

enum class PreviewKind {
    Rename,     // renamed to the new name
    Unchanged,  // the new name is the old one
    Left,       // the tool leaves it alone (extension already so, text not found)
    Exists,     // skipped with the message that the new name exists
    Stop,       // the pass stops here, with the failure's reason
    NotReached, // after the stop
};

// How the preview shows what the pass did at an entry.
PreviewKind previewKindOf(StepKind k);

struct PreviewRow {
    int index = -1;
    std::u32string oldName;
    std::u32string newName; // empty where there is none
    PreviewKind kind = PreviewKind::Rename;
    LeftReason left = LeftReason::Tool;            // Left: why
    std::size_t bytes = 0;                         // Left as too long: the new name's bytes
    NameEncoding oldEncoding = NameEncoding::Utf8; // how the old name is written
    std::u32string note;                           // the tool's word on it (PassStep::note)
    std::u32string folder; // in a tree: the folder below the list's it is in, as shown
    bool isFolder = false; // in a tree: the entry is a folder
};

struct Preview {
    std::vector<PreviewRow> rows; // every selected entry, in list order
    PassResult pass;              // what the real pass would answer
};

// A preview's row for what the pass did at an entry (its name written so).
PreviewRow previewRowOf(const PassStep& s, NameEncoding oldEncoding);
// The rows of the selected entries from index from on, which a pass that
// stopped never reached.
// Whether the list's entry is a folder, where the list knows.
bool isFolderEntry(const FileListSource& list, int i);
void addNotReached(Preview& p, const FileListSource& list, int from);

// The pass an apply button runs. Where a rename in the listed folder may take
// more than one step (see FileSystem::needsJournal), the renames it will make
// are found first by a dry run of planTool, which builds the same tool with
// hooks that ask no one, and the file system keeps them in its journal while
// the real pass runs. A journal that cannot be written stops the pass before
// its first rename.
PassResult RunPlannedPass(FileListSource& list, FileSystem& fs, const RenameTool& tool,
                          const std::function<RenameTool(FileSystem&)>& planTool);

// makeTool builds the button's tool against the file system it is given (the
// in-memory one here), with hooks that record instead of asking the user.
Preview DryRun(FileListSource& list, FileSystem& fs,
               const std::function<RenameTool(FileSystem&)>& makeTool);

} // namespace nw
