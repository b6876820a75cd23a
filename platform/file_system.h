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
    FolderChanged,     // the folder at that path is no longer the one listed
    Superseded,        // a reading given up for a newer one the user asked for
    JournalUnwritable, // the pass's journal could not be written: the state
                       // folder is full or may not be written
    Io,                // anything else the system reported
};

struct FsStatus {
    FsStatus() = default;
    FsStatus(FsError e, int sys) : error(e), sysError(sys) {}

    FsError error = FsError::None;
    int sysError = 0; // errno where the system gave one
    // A rename of more than one step whose failure could not be taken back
    // either: why not (errno), and the path that was left behind (a second
    // name of the file, an empty placeholder, or the temporary name holding
    // the file).
    int putBackError = 0;
    std::string leftAs;
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
    bool link = false; // a symbolic link (kind is what it leads to)
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

// Which file a name stands for.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};

// What an entry is: what it leads to, and whether it is a link.
struct EntryShape {
    EntryKind kind = EntryKind::Regular;
    bool link = false;
    bool operator==(const EntryShape&) const = default;
};

// What a drive keeps of a file even where it numbers files anew at every
// mount or whenever the kernel forgets them (exFAT, FAT and sshfs through
// FUSE): its size and its modification time.
struct FileStamp {
    long long size = 0;
    long long mtimeNs = 0; // nanoseconds since the epoch
    bool operator==(const FileStamp&) const = default;
};

// Whether two stamps can be the same file's on a drive that keeps times
// coarsely: the same size, and times no further apart than FAT's two seconds.
bool sameStamp(const FileStamp& a, const FileStamp& b);

// An entry as it is now: its shape, and which entry it is (the link itself,
// for a link).
struct EntryInfo {
    EntryShape shape;
    FileId id;
    FileStamp stamp;
    std::uint64_t links = 1; // its names (hard links) on the drive
};

// One rename of a pass's plan, as the names stand on disk.
struct PlannedRename {
    std::string oldName;
    std::string newName;
};

struct RecoveryReport {
    int restored = 0; // files put back under one of their two names
    // What was found, by kind: a second name of a file (a link made, the old
    // name not yet removed), an empty placeholder, a file under a temporary
    // name, an empty temporary file.
    int secondNames = 0, placeholders = 0, temporaries = 0, emptyTemporaries = 0;
    // Paths recovery left as they are because it could not tell what they
    // hold; the user is told.
    std::vector<std::string> unresolved;
    // Folders of interrupted passes that are not there now (a drive not
    // mounted): their journals are kept for later.
    std::vector<std::string> waiting;
    // Journals recovery would not act on (damaged, or naming a folder that is
    // not the one the pass renamed in): set aside beside the others, with the
    // folder each concerns where it could be read, so that its files can be
    // looked at by hand.
    struct SetAside {
        std::string folder;  // empty where the journal is too damaged to say
        std::string journal; // where it was set aside
    };
    std::vector<SetAside> setAside;
    // The passes that were cut off and are settled now: what each had
    // renamed by then, in the order it did, so that it can be undone.
    struct Interrupted {
        std::string folder;
        FileId folderId;
        std::string tool;        // what the pass did, in words (empty: not told)
        std::size_t planned = 0; // the renames it was to make
        std::vector<PlannedRename> done;
    };
    std::vector<Interrupted> interrupted;
    bool empty() const {
        return restored == 0 && unresolved.empty() && setAside.empty() && interrupted.empty();
    }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Whether one rename in folder may take more than one step (no atomic
    // no-replace rename, or letter case ignored), so that a pass cut off
    // could leave a file between two names. Such a pass is journalled.
    virtual bool needsJournal(const std::string& folder) {
        (void)folder;
        return false;
    }
    // Whether the file system takes names that differ only in letter case
    // for one name.
    virtual bool ignoresCase(const std::string& folder) {
        (void)folder;
        return false;
    }
    // Around a journalled pass: its plan is kept on disk from before the first
    // rename to after the last one.
    // tool: what the pass does, in words, kept with the plan.
    virtual FsStatus beginPass(const std::string& folder, const std::vector<PlannedRename>& plan,
                               const std::string& tool) {
        (void)folder;
        (void)plan;
        (void)tool;
        return {};
    }
    // clean: nothing of the pass was left between two names. A journal is
    // removed only then; otherwise it stays for recovery to finish the job.
    virtual void endPass(bool clean) { (void)clean; }
    // Puts right what passes cut off earlier left between two names.
    virtual RecoveryReport recoverInterruptedPasses() { return {}; }

    // What a name stands for now; nothing where it cannot be reached.
    virtual std::optional<EntryInfo> entryInfo(const std::string& folder, const std::string& name) {
        (void)folder;
        (void)name;
        return std::nullopt;
    }
    // Why entryInfo found nothing: the name is gone, or the drive did not
    // answer (a pulled stick, a dead FUSE daemon).
    virtual FsStatus whyMissing(const std::string& folder, const std::string& name) {
        (void)folder;
        (void)name;
        return FsStatus{FsError::NotFound, 0};
    }
    // Whether an entry keeps its FileId when renamed in folder (some FUSE
    // drives number a file by its name).
    // The folder at that path (links followed): which folder it is; none
    // where no folder is there (its drive not mounted).
    virtual std::optional<FileId> folderId(const std::string& folder) {
        (void)folder;
        return std::nullopt;
    }
    // Removes one name of a file: recovery's second names, placeholders and
    // empty temporary files.
    virtual FsStatus remove(const std::string& folder, const std::string& name) {
        (void)folder;
        (void)name;
        return FsStatus{FsError::PermissionDenied, 0};
    }
    // Whether two entries of a folder hold the same bytes, read to the end.
    virtual bool sameContent(const std::string& folder, const std::string& a,
                             const std::string& b) {
        (void)folder;
        (void)a;
        (void)b;
        return false;
    }
    virtual bool idsSurviveRename(const std::string& folder) {
        (void)folder;
        return true;
    }
    // Whether a folder in folder can be renamed with what it holds: FAT
    // through fusefat renames a folder and loses every entry inside it.
    virtual bool renamesFolders(const std::string& folder) {
        (void)folder;
        return true;
    }
    // For the length of a pass: the folder renames are made in, held open, so
    // that a folder moved or replaced meanwhile is never taken for it. listed:
    // the folder's identity when it was listed; another folder there now is
    // refused with FolderChanged.
    virtual FsStatus holdFolder(const std::string& folder, std::optional<FileId> listed) {
        (void)folder;
        (void)listed;
        return {};
    }
    virtual void releaseFolder() {}

    // Which file a name stands for, links followed; nothing where the file
    // cannot be reached.
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
    bool plainFileExists(const std::string& folder, const std::string& name) {
        return !isHiddenName(name) && regularFileExists(folder, name);
    }
    // Whether a regular file, or a link to one, has that name.
    virtual bool regularFileExists(const std::string& folder, const std::string& name) = 0;
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
    EntryKind kind = EntryKind::Regular;
    bool link = false;
    bool unsure = false;   // its code page judged without certainty
    bool alsoUtf8 = false; // read in the code page, though valid UTF-8 too
};

// How the names of a folder that are not UTF-8 are read: in the code page
// judged from all of them (the prior, else the locale's, tipping the balance),
// or in the one the user chose, or not at all.
struct NameReading {
    bool judge = true;
    std::optional<NameEncoding> codePage; // when not judged; none: not decoded
    std::optional<NameEncoding> prior;    // when judged; none: the locale's
};

// The files of a folder that match the patterns and the flags, in natural
// order. judgement, where given, tells which code page the names were read in
// (none: all are UTF-8, or none was decoded) and whether it is sure.
// filteredOut: how many files the attributes admit but the patterns do not.
FsStatus listFiles(FileSystem& fs, const std::string& folder, const WildcardSet& patterns,
                   const AttributeFlags& flags, std::vector<ListedFile>& out,
                   const NameReading& reading = {}, CodePageJudgement* judgement = nullptr,
                   std::size_t* filteredOut = nullptr);

// Puts listed entries in natural order of their names (ties: the bytes).
void sortNatural(std::vector<ListedFile>& files);

// The sub-folders of a folder (links to folders included), in natural order,
// their names judged together as listFiles does.
FsStatus listSubfolders(FileSystem& fs, const std::string& folder, std::vector<ListedFile>& out);

} // namespace nw
