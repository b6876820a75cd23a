#pragma once
// A pass without touching the disk: the same walk and the same tool over an
// in-memory copy of the folder's names, each planned rename updating it.
#include "core/rename_pass.h"

#include <functional>
#include <unordered_map>

namespace nw {

// The names of one folder in memory: renames are checked and recorded as the
// real file system would check them (never replacing), and nothing else is
// touched. Which file a name stands for is asked of the real one.
class RecordingFileSystem : public FileSystem {
public:
    // A folder that cannot be read holds no names: every rename then fails
    // as it would on the disk.
    RecordingFileSystem(FileSystem& real, const std::string& folder);

    std::vector<std::string> mounts() override { return m_real.mounts(); }
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override;
    bool isWritable(const std::string& folder, const std::string& name) override {
        return m_real.isWritable(folder, name);
    }
    FsStatus rename(const std::string& folder, const std::string& oldName,
                    const std::string& newName) override;
    bool plainFileExists(const std::string& folder, const std::string& name) override;
    std::optional<FileId> fileId(const std::string& folder, const std::string& name) override {
        return m_real.fileId(folder, name);
    }

private:
    FileSystem& m_real;
    std::string m_folder;
    std::unordered_map<std::string, EntryKind> m_names;
};

enum class PreviewKind {
    Rename,     // renamed to the new name
    Unchanged,  // the new name is the old one
    Left,       // the tool leaves it alone (extension already so, text not found)
    Exists,     // skipped with the message that the new name exists
    Stop,       // the pass stops here, with the failure's reason
    NotReached, // after the stop
};

struct PreviewRow {
    int index = -1;
    std::u32string oldName;
    std::u32string newName; // empty where there is none
    PreviewKind kind = PreviewKind::Rename;
};

struct Preview {
    std::vector<PreviewRow> rows; // every selected entry, in list order
    PassResult pass;              // what the real pass would answer
};

// makeTool builds the button's tool against the file system it is given (the
// in-memory one here), with hooks that record instead of asking the user.
Preview DryRun(FileListSource& list, FileSystem& fs,
               const std::function<RenameTool(FileSystem&)>& makeTool);

} // namespace nw
