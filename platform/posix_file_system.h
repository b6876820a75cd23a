#pragma once
#include "platform/file_system.h"

namespace nw {

// The real file system: POSIX calls, renameat2 with RENAME_NOREPLACE.
class PosixFileSystem : public FileSystem {
public:
    std::vector<std::string> mounts() override;
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override;
    bool isWritable(const std::string& folder, const std::string& name) override;
    FsStatus rename(const std::string& folder, const std::string& oldName,
                    const std::string& newName) override;
    bool plainFileExists(const std::string& folder, const std::string& name) override;

    // For tests: pretend the file system lacks RENAME_NOREPLACE.
    void setNoReplaceUnsupported(bool on) { m_noReplaceUnsupported = on; }

private:
    bool m_noReplaceUnsupported = false;
};

} // namespace nw
