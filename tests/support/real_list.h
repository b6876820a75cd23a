#pragma once
// The pass's view of a real folder without the window: every listable file in
// natural order, with a chosen selection.
#include "core/rename_pass.h"
#include "platform/file_system.h"
#include "platform/tree_listing.h"
#include "platform/wildcard.h"

#include <set>
#include <string>
#include <vector>

namespace nw::test {

class RealList : public FileListSource {
public:
    RealList(FileSystem& fs, std::string folder, AttributeFlags flags = allFiles())
        : m_fs(fs), m_folder(std::move(folder)), m_flags(flags) {
        Refresh();
        refreshes = 0;
    }
    static AttributeFlags allFiles() {
        AttributeFlags f;
        f.normal = f.readOnly = f.hidden = f.system = true;
        return f;
    }
    int ListCount() const override { return static_cast<int>(entries.size()); }
    std::u32string List(int i) const override { return entries[static_cast<std::size_t>(i)].name; }
    NameEncoding Encoding(int i) const override {
        return entries[static_cast<std::size_t>(i)].encoding;
    }
    std::string Bytes(int i) const override { return entries[static_cast<std::size_t>(i)].bytes; }
    bool Selected(int i) const override { return selected.count(i) != 0; }
    std::string Path() const override { return m_folder; }
    std::optional<EntryShape> Shape(int i) const override {
        const ListedFile& f = entries[static_cast<std::size_t>(i)];
        return EntryShape{f.kind, f.link};
    }
    std::optional<FileId> FolderId() const override { return m_folderId; }
    void Refresh() override {
        ++refreshes;
        entries.clear();
        lastRefresh = listFiles(m_fs, m_folder, WildcardSet(U"*.*"), m_flags, entries);
        m_folderId = m_fs.fileId(m_folder, ".");
        selected.clear();
    }
    void selectAll() {
        for (int i = 0; i < ListCount(); ++i)
            selected.insert(i);
    }

    std::vector<ListedFile> entries;
    std::set<int> selected;
    FsStatus lastRefresh;
    int refreshes = 0;

private:
    FileSystem& m_fs;
    std::string m_folder;
    AttributeFlags m_flags;
    std::optional<FileId> m_folderId;
};

// A folder and every folder below it, folders included, every entry
// selected (again after each re-reading).
class RealTreeList : public FileListSource {
public:
    RealTreeList(FileSystem& fs, std::string root, TreeOptions options = {true, true})
        : m_fs(fs), m_root(std::move(root)), m_options(options) {
        Refresh();
        refreshes = 0;
    }
    int ListCount() const override { return static_cast<int>(listing.entries.size()); }
    std::u32string List(int i) const override { return e(i).file.name; }
    NameEncoding Encoding(int i) const override { return e(i).file.encoding; }
    std::string Bytes(int i) const override { return e(i).file.bytes; }
    bool Selected(int i) const override { return selected.at(static_cast<std::size_t>(i)); }
    std::string Path() const override { return m_root; }
    std::string Sub(int i) const override { return listing.folderOf(e(i)).sub; }
    std::optional<EntryShape> Shape(int i) const override {
        return EntryShape{e(i).file.kind, e(i).file.link};
    }
    void Refresh() override {
        ++refreshes;
        lastRefresh =
            listTree(m_fs, m_root, WildcardSet(U"*.*"), RealList::allFiles(), m_options, listing);
        selected.assign(listing.entries.size(), true);
    }

    TreeListing listing;
    std::vector<bool> selected;
    FsStatus lastRefresh;
    int refreshes = 0;

private:
    const TreeEntry& e(int i) const { return listing.entries.at(static_cast<std::size_t>(i)); }
    FileSystem& m_fs;
    std::string m_root;
    TreeOptions m_options;
};

} // namespace nw::test
