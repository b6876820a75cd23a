#pragma once
#include "platform/file_system.h"
#include "platform/journal.h"

#include <map>
#include <sys/types.h>

namespace nw {

// How a file system is asked to rename without replacing.
enum class RenameMethod {
    NoReplace,   // renameat2 with RENAME_NOREPLACE
    Link,        // link to the new name, then unlink the old one
    Placeholder, // create the new name exclusively, then rename onto it
};

// The system calls a rename is made of, one virtual function each, so that a
// test can make any one of them fail at any moment. Names are relative to the
// folder descriptor dir (or AT_FDCWD). Each answers 0 or -1 with errno set, as
// the call does.
class RenameCalls {
public:
    virtual ~RenameCalls() = default;
    virtual int renameNoReplace(int dir, const char* from, const char* to);
    virtual int link(int dir, const char* from, const char* to);
    virtual int unlink(int dir, const char* name);
    // Creates an empty file that did not exist; its device and inode go to
    // the two out parameters.
    virtual int createExclusive(int dir, const char* name, dev_t& device, ino_t& inode);
    // The same for a folder: an empty one that did not exist.
    virtual int createFolder(int dir, const char* name, dev_t& device, ino_t& inode);
    // Removes a folder, only where it is empty.
    virtual int removeFolder(int dir, const char* name);
    virtual int rename(int dir, const char* from, const char* to);
};

// The real file system: POSIX calls, renameat2 with RENAME_NOREPLACE, and
// where a file system lacks it (FUSE, NFS) a method that still never replaces.
class PosixFileSystem : public FileSystem {
public:
    PosixFileSystem();
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;
    std::vector<std::string> mounts() override;
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override;
    bool isWritable(const std::string& folder, const std::string& name) override;
    FsStatus rename(const std::string& folder, const std::string& oldName,
                    const std::string& newName) override;
    bool regularFileExists(const std::string& folder, const std::string& name) override;
    std::optional<FileId> fileId(const std::string& folder, const std::string& name) override;
    std::optional<EntryInfo> entryInfo(const std::string& folder, const std::string& name) override;
    FsStatus whyMissing(const std::string& folder, const std::string& name) override;
    bool idsSurviveRename(const std::string& folder) override;
    bool renamesFolders(const std::string& folder) override;
    std::optional<FileId> folderId(const std::string& folder) override;
    FsStatus remove(const std::string& folder, const std::string& name) override;
    bool sameContent(const std::string& folder, const std::string& a,
                     const std::string& b) override;
    FsStatus holdFolder(const std::string& folder, std::optional<FileId> listed) override;
    void releaseFolder() override;
    bool needsJournal(const std::string& folder) override;
    bool ignoresCase(const std::string& folder) override;
    FsStatus beginPass(const std::string& folder, const std::vector<PlannedRename>& plan,
                       const std::string& tool) override;
    void endPass(bool clean) override;
    RecoveryReport recoverInterruptedPasses() override;

    // Where journals go (by default journalFolder()).
    void setJournalFolder(std::string folder) { m_journalFolder = std::move(folder); }
    // For tests: the calls renames are made of.
    void setRenameCalls(RenameCalls* calls) { m_calls = calls; }
    // For tests: pretend the file system lacks RENAME_NOREPLACE.
    void setNoReplaceUnsupported(bool on) {
        m_noReplaceUnsupported = on;
        m_methods.clear();
        m_traits.clear();
        m_lastFolder.clear();
    }
    // The method found to work on the file system of a folder; NoReplace
    // until a rename there has shown otherwise.
    RenameMethod methodFor(const std::string& folder) const;

private:
    struct Traits {
        RenameMethod method = RenameMethod::NoReplace;
        bool ignoresCase = false;
    };
    // Found once per file system by renaming a file of our own there.
    const Traits& traitsOf(const std::string& folder);
    std::map<dev_t, bool> m_losesFolders; // per drive: renaming a folder loses what it holds
    // from and to: names inside dir.
    FsStatus move(int dir, const std::string& from, const std::string& to, RenameMethod& method);
    // The descriptor renames in folder are made relative to, and how a name
    // there is written for it.
    int dirFor(const std::string& folder) const;
    std::string nameIn(const std::string& folder, const std::string& name) const;

    // The file system of a folder, asked once per folder rather than per file.
    dev_t deviceOf(const std::string& folder);

    RenameCalls& calls() { return m_calls ? *m_calls : m_realCalls; }

    RenameCalls m_realCalls;
    RenameCalls* m_calls = nullptr;
    bool m_noReplaceUnsupported = false;
    std::map<dev_t, RenameMethod> m_methods; // per file system, as learnt
    std::map<dev_t, Traits> m_traits;        // per file system, as probed
    std::string m_lastFolder;
    dev_t m_lastDevice = 0;
    std::string m_journalFolder;
    PassJournal m_journal;
    std::string m_heldFolder;
    int m_heldFd = -1;
};

} // namespace nw
