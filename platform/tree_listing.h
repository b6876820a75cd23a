#pragma once
// A folder and the folders below it, for passes over a whole tree (a music
// library, an unpacked archive): every file, and where asked every folder, as
// an entry named by its path below the shown folder. The walk never follows a
// link to a folder (a loop cannot trap it), stays on the shown folder's
// drive, enters hidden folders only where hidden files are listed, and goes
// on past a folder it cannot read, which it names with the reason.
#include "platform/code_pages.h"
#include "platform/file_system.h"
#include "platform/wildcard.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nw {

struct TreeOptions {
    bool subfolders = false; // the files of every folder below too
    bool folders = false;    // folders are entries themselves
};

// A folder of the tree, below the shown one ("" for the shown folder, "a/b"
// two levels down), as bytes and as read.
struct TreeFolder {
    std::string sub;
    std::u32string subName;
};

struct TreeEntry {
    std::uint32_t folder = 0; // which of the listing's folders it is in
    ListedFile file;          // its own name and what it is
    // A folder the walk could not read: why (its row says so). Its entries
    // are not listed; the rest of the tree is.
    FsError unreadable = FsError::None;
    int unreadableErrno = 0;
    bool isFolder() const { return file.kind == EntryKind::Folder; }
};

// What the walk met: its entries, the folders they are in, and what it left.
struct TreeListing {
    std::vector<TreeEntry> entries;
    std::vector<TreeFolder> folders; // [0] is the shown folder
    std::size_t filteredOut = 0;     // files the attributes admit but the patterns hide
    std::size_t foldersRead = 0;     // the shown one included
    // Each folder's code page, where its names needed one.
    std::vector<std::pair<std::uint32_t, CodePageJudgement>> judgements;
    const TreeFolder& folderOf(const TreeEntry& e) const { return folders[e.folder]; }
};

// The entries of root and (with subfolders) of every folder below it, folder
// by folder: a folder's files, then each of its folders' entries, each such
// folder right after its own entries, so that a pass in this order renames
// whatever is inside a folder before the folder itself and every path it
// meets still holds. Within a folder, files and folders are in natural
// order. The patterns apply to file names, the attribute flags to files and
// to folders as entries; a hidden folder is entered only where hidden files
// are listed, any other folder whether or not it is an entry itself. Each folder's names are judged
// for their code page on their own (reading, where its code page is chosen, applies to root only).
// progress, where given, is told how many entries were read so far every
// few hundred; false from it stops the walk (Superseded). Fails only where
// root itself cannot be read.
FsStatus listTree(FileSystem& fs, const std::string& root, const WildcardSet& patterns,
                  const AttributeFlags& flags, const TreeOptions& options, TreeListing& out,
                  const NameReading& reading = {},
                  const std::function<bool(std::size_t)>& progress = {});

// An entry's path below the shown folder as the list shows it ("a/b/名字",
// a folder with a trailing "/"), and as bytes on disk ("a/b/name").
std::u32string treePath(const TreeListing& l, const TreeEntry& e);
std::string treeBytes(const TreeListing& l, const TreeEntry& e);

} // namespace nw
