#pragma once
#include "platform/file_system.h"

#include <map>
#include <sys/types.h>

namespace nw {

// How a file system is asked to rename without replacing.
enum class RenameMethod {
    NoReplace,   // renameat2 with RENAME_NOREPLACE
    Link,        // link to the new name, then unlink the old one
    Placeholder, // create the new name exclusively, then rename onto it
};

// The real file system: POSIX calls, renameat2 with RENAME_NOREPLACE, and
// where a file system lacks it (FUSE, NFS) a method that still never replaces.
class PosixFileSystem : public FileSystem {
public:
    std::vector<std::string> mounts() override;
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override;
    bool isWritable(const std::string& folder, const std::string& name) override;
    FsStatus rename(const std::string& folder, const std::string& oldName,
                    const std::string& newName) override;
    bool plainFileExists(const std::string& folder, const std::string& name) override;
    std::optional<FileId> fileId(const std::string& folder, const std::string& name) override;

    // For tests: pretend the file system lacks RENAME_NOREPLACE.
    void setNoReplaceUnsupported(bool on) {
        m_noReplaceUnsupported = on;
        m_methods.clear();
        m_lastFolder.clear();
    }
    // The method found to work on the file system of a folder; NoReplace
    // until a rename there has shown otherwise.
    RenameMethod methodFor(const std::string& folder) const;

private:
    FsStatus move(const std::string& from, const std::string& to, RenameMethod& method);

    // The file system of a folder, asked once per folder rather than per file.
    dev_t deviceOf(const std::string& folder);

    bool m_noReplaceUnsupported = false;
    std::map<dev_t, RenameMethod> m_methods; // per file system, as learnt
    std::string m_lastFolder;
    dev_t m_lastDevice = 0;
};

} // namespace nw
