#pragma once
// The file system as the browser and the rename pass see it. Folders and names
// are bytes; joinPath puts exactly one "/" between them.
#include "platform/name_codec.h"
#include "platform/wildcard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nw {

enum class FsError {
    None,
    Exists,           // another file already has the name
    NotFound,         // the file or folder is gone
    PermissionDenied, // the user may not do it
    ReadOnly,         // the file system is mounted read-only
    NameTooLong,
    InvalidName,
    NotAFolder,
    NoSpace,
    Busy,
    Io, // anything else the system reported
};

struct FsStatus {
    FsError error = FsError::None;
    int sysError = 0; // errno where the system gave one
    bool ok() const { return error == FsError::None; }
};

FsStatus statusFromErrno(int err);

enum class EntryKind {
    Regular, // a regular file, or a link to one
    Folder,  // a folder, or a link to one: never listed as a file
    Special, // FIFO, socket, device node, dangling link: the "system" files
};

struct RawEntry {
    std::string name;
    EntryKind kind = EntryKind::Regular;
};

// Which files the list admits by their attributes. Archive has no meaning on
// Linux: its flag stays on and no file carries it.
struct AttributeFlags {
    bool normal = true;
    bool readOnly = true;
    bool hidden = false;
    bool system = false;
    bool archive = true;
};

struct FileAttributes {
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
};

// Linux's one mark of a hidden file: the name begins with ".".
bool isHiddenName(std::string_view name);

// The longest name, in bytes, that Linux's file systems take.
inline constexpr std::size_t kMaxNameBytes = 255;

// A file is admitted when every attribute it carries has its flag on; a file
// that carries none is admitted when the normal flag is on.
bool admits(const AttributeFlags& flags, const FileAttributes& attrs);

// Which file a name stands for, links followed.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Nothing where the file cannot be reached.
    virtual std::optional<FileId> fileId(const std::string& folder, const std::string& name) {
        (void)folder;
        (void)name;
        return std::nullopt;
    }

    // The mount points a user browses, "/" first.
    virtual std::vector<std::string> mounts() = 0;

    // Every entry of a folder except "." and "..", in no particular order.
    virtual FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) = 0;

    // Whether the current user may write the file (as "test -w" says).
    virtual bool isWritable(const std::string& folder, const std::string& name) = 0;

    // Renames within one folder, never replacing another file. A new name
    // identical to the old one succeeds without touching anything.
    virtual FsStatus rename(const std::string& folder, const std::string& oldName,
                            const std::string& newName) = 0;

    // Whether a plain file of that name exists: not hidden, not a system
    // file, not a folder.
    virtual bool plainFileExists(const std::string& folder, const std::string& name) = 0;
};

std::string joinPath(const std::string& folder, const std::string& name);

// The parent of an absolute folder path ("/a/b" -> "/a", "/a" -> "/").
std::string parentFolder(const std::string& folder);

// A folder path without trailing "/" (except the root) and without "." parts.
std::string normalizeFolder(const std::string& folder);

struct ListedFile {
    std::string bytes;   // the name on disk
    std::u32string name; // the same name decoded
    NameEncoding encoding = NameEncoding::Utf8;
};

// The files of a folder that match the patterns and the flags, in natural
// order.
FsStatus listFiles(FileSystem& fs, const std::string& folder, const WildcardSet& patterns,
                   const AttributeFlags& flags, std::vector<ListedFile>& out);

// The sub-folders of a folder (links to folders included), in natural order.
FsStatus listSubfolders(FileSystem& fs, const std::string& folder, std::vector<ListedFile>& out);

} // namespace nw
