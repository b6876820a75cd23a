#pragma once
// File1: the files of one folder that match the pattern and the attribute
// flags, with extended multiple selection. It is also the rename pass's view
// of the list.
#include "core/rename_pass.h"
#include "platform/file_system.h"
#include "platform/sort_order.h"
#include "platform/tree_listing.h"
#include "platform/wildcard.h"

#include <QAbstractListModel>
#include <QColor>
#include <QListView>

#include <atomic>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace nw::app {

// The colour of a name that holds characters shown as "<U+…>".

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void setFiles(std::vector<ListedFile> files);
    // A whole tree: each row shows its path below the list's folder, and a
    // folder that could not be read says why.
    void setTree(TreeListing tree);
    const std::vector<ListedFile>& files() const { return m_files; }
    bool holdsTree() const { return !m_folderOf.empty(); }
    // The folder below the list's an entry is in ("" in a list of one folder).
    const TreeFolder& folderOf(int i) const;

private:
    std::vector<ListedFile> m_files;
    std::vector<std::uint32_t> m_folderOf; // per entry, in a tree
    std::vector<TreeFolder> m_folders;
    std::map<int, QString> m_unreadable; // rows of folders that could not be read
};

class FileListBox : public QListView, public FileListSource {
    Q_OBJECT
public:
    FileListBox(FileSystem& fs, QWidget* parent = nullptr);

    // Whether a folder is being read: until it is, the list shows what it
    // showed before, and no pass may start.
    bool isListing() const { return m_listing; }

    // Each setter re-reads the folder. On failure the list keeps its entries
    // and, for setPath, its folder.
    FsStatus setPath(const std::string& folder);
    FsStatus setPattern(const std::u32string& pattern);
    FsStatus setFlags(const AttributeFlags& flags);
    const std::u32string& pattern() const { return m_patternText; }
    // What the empty list says (a filter hid every file), or nothing.
    QString emptyText() const;
    // What the list says while a tree is read: how many entries so far.
    QString listingText() const;
    const AttributeFlags& flags() const { return m_flags; }
    // Whether the list holds the files of every folder below its own, and
    // folders as entries (neither when the window opens). Re-reads the list,
    // keeping the selection.
    FsStatus setTreeOptions(const TreeOptions& options);
    const TreeOptions& treeOptions() const { return m_tree; }
    // An entry's path below the list's folder, as bytes ("a/b/name"): how a
    // selection is kept across a re-reading.
    std::string PathBytes(int i) const;
    // The order the list shows, and every pass walks (natural by name until
    // the user chooses another; it holds while the program runs). Re-reads
    // the list, keeping the selection.
    FsStatus setSortOrder(SortOrder order);
    SortOrder sortOrder() const { return m_sort; }

    // How the folder's names that are not UTF-8 are read: judged from the
    // names (the default), or the code page the user chose for this folder
    // (none: not decoded), which holds while the program runs. Re-reads the
    // list, keeping the selection.
    FsStatus chooseCodePage(std::optional<NameEncoding> codePage);
    FsStatus judgeCodePage();
    bool codePageChosen() const { return m_readings.count(m_path) > 0; }
    // The code page the listed names were read in; none: no name needed one,
    // or none was decoded.
    std::optional<NameEncoding> codePage() const { return m_judgement.codePage; }
    // Whether the code page in force is sure (chosen, or judged clearly).
    bool codePageClear() const { return m_judgement.clear; }

    // Selects the entries of these paths below the list's folder (as bytes,
    // PathBytes), beside those selected.
    void selectNames(std::vector<std::string> names);
    void selectAllEntries();
    void clearAllEntries();
    void invertEntries();
    void setSelected(int i, bool on);
    int topIndex() const;

    // FileListSource
    int ListCount() const override;
    std::u32string List(int i) const override;
    NameEncoding Encoding(int i) const override;
    bool Unsure(int i) const override;
    // Whether the name, read in its code page, is valid UTF-8 as well.
    bool AlsoUtf8(int i) const;
    std::string Bytes(int i) const override;
    bool Selected(int i) const override;
    std::string Path() const override { return m_path; }
    std::optional<EntryShape> Shape(int i) const override;
    std::optional<FileId> FolderId() const override { return m_folderId; }
    std::string Sub(int i) const override;
    std::u32string SubName(int i) const override { return m_model.folderOf(i).subName; }
    void Refresh() override;
    FsStatus lastRefresh() const { return m_lastRefresh; }

signals:
    // Position in twips inside the list's rows.
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, float x, float y);

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    // An empty list whose filter hid every file says so in a grey line.
    void paintEvent(QPaintEvent* e) override;

private:
    FsStatus reload(const std::string& folder);
    FsStatus readTree(const std::string& folder, const NameReading& reading);
    // After a reading on its thread: whether its result is the list's now
    // (the folder it read becomes the list's).
    FsStatus readingEnded(std::uint64_t generation, const FsStatus& st, const std::string& folder);
    // Re-reads the list, the same files selected after as before (their names
    // may read differently now).
    FsStatus keepingSelection(const std::function<FsStatus()>& reread);
    void markSelectionDirty() { m_selectionDirty = true; }
    // One flag per entry, rebuilt from the selection model when it changed.
    const std::vector<bool>& selectionFlags() const;

    FileSystem& m_fs;
    FileListModel m_model;
    std::string m_path;
    std::optional<FileId> m_folderId; // the folder as it was listed
    std::u32string m_patternText = U"*.*";
    std::size_t m_filteredOut = 0; // files of the folder the patterns hid
    WildcardSet m_patterns{U"*.*"};
    AttributeFlags m_flags;
    TreeOptions m_tree;
    SortOrder m_sort;
    std::map<std::string, NameReading> m_readings; // the user's choice, per folder
    CodePageJudgement m_judgement;
    FsStatus m_lastRefresh;
    std::atomic<std::uint64_t> m_generation{0}; // of the newest reading (a walk reads it)
    bool m_listing = false;                     // the newest reading has not ended
    std::size_t m_read = 0;                     // entries of a tree read so far (shown meanwhile)
    mutable std::vector<bool> m_selected;
    mutable bool m_selectionDirty = true;
};

} // namespace nw::app
