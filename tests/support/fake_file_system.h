#pragma once
// An in-memory file system for pass and listing tests: folders of named files
// with contents, and faults on demand.
#include "platform/file_system.h"
#include "platform/journal.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace nw::test {

struct FakeFile {
    std::string content;
    EntryKind kind = EntryKind::Regular;
    bool writable = true;
    std::uint64_t inode = 0; // given by add
};

class FakeFileSystem : public FileSystem {
public:
    using Folder = std::map<std::string, FakeFile>;

    std::map<std::string, Folder> folders;
    std::vector<std::string> mountList{"/"};

    // The Nth call of rename (1-based) fails with this error; 0 never.
    int failRenameNumber = 0;
    FsError failWith = FsError::Io;
    // Runs before every rename, with its number; may change the folders.
    std::function<void(int)> beforeRename;

    // Where set, every pass here is journalled in that state folder, as on a
    // drive that cannot rename in one step, and recovery reads it.
    std::string journalFolder;
    // Which folder stands at a path: a folder made anew there gets another.
    std::map<std::string, std::uint64_t> folderNumbers;

    int renameCalls = 0;
    std::vector<std::pair<std::string, std::string>> renames; // done, in order

    void add(const std::string& folder, const std::string& name, std::string content = {},
             EntryKind kind = EntryKind::Regular);

    std::vector<std::string> mounts() override { return mountList; }
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override;
    bool isWritable(const std::string& folder, const std::string& name) override;
    FsStatus rename(const std::string& folder, const std::string& oldName,
                    const std::string& newName) override;
    bool regularFileExists(const std::string& folder, const std::string& name) override;
    std::optional<EntryInfo> entryInfo(const std::string& folder, const std::string& name) override;
    std::optional<FileId> folderId(const std::string& folder) override;
    FsStatus remove(const std::string& folder, const std::string& name) override;
    bool sameContent(const std::string& folder, const std::string& a,
                     const std::string& b) override;
    bool needsJournal(const std::string&) override { return !journalFolder.empty(); }
    FsStatus beginPass(const std::string& folder, const std::vector<PlannedRename>& plan,
                       const std::string& tool) override;
    void endPass(bool clean) override { m_journal.finish(clean); }
    RecoveryReport recoverInterruptedPasses() override {
        return nw::recoverInterruptedPasses(*this, journalFolder);
    }

private:
    PassJournal m_journal;
    std::uint64_t m_nextInode = 1;
};

} // namespace nw::test
