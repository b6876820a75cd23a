#include "app/file_list_box.h"
#include "app/texts.h"

#include "app/answering.h"
#include "app/contrast.h"
#include "app/failure_text.h"
#include "app/qt_text.h"
#include "app/twips.h"

#include <QBrush>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <atomic>

namespace nw::app {

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_files.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_files.size())
        return {};
    const ListedFile& f = m_files[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole && holdsTree()) {
        const std::u32string& sub = folderOf(index.row()).subName;
        QString text = (sub.empty() ? QString() : shownName(sub) + u'/') + shownName(f.name);
        if (f.kind == EntryKind::Folder)
            text += u'/';
        if (const auto why = m_unreadable.find(index.row()); why != m_unreadable.end())
            text += why->second;
        return text;
    }
    if (role == Qt::DisplayRole)
        return shownName(f.name);
    // A name holding characters shown as "<U+…>" stands out; a name in a
    // legacy code page is shown in grey, so that it can be told from a UTF-8
    // one.
    if (role == Qt::ForegroundRole && hasHiddenCharacters(f.name))
        return QBrush(hiddenCharacterColour());
    if (role == Qt::ForegroundRole && f.encoding != NameEncoding::Utf8)
        return QBrush(legacyNameColour());
    return {};
}

void FileListModel::setFiles(std::vector<ListedFile> files) {
    beginResetModel();
    m_files = std::move(files);
    m_folderOf.clear();
    m_folders.clear();
    m_unreadable.clear();
    endResetModel();
}

void FileListModel::setTree(TreeListing tree) {
    beginResetModel();
    m_files.clear();
    m_folderOf.clear();
    m_unreadable.clear();
    m_files.reserve(tree.entries.size());
    m_folderOf.reserve(tree.entries.size());
    for (TreeEntry& e : tree.entries) {
        if (e.unreadable != FsError::None)
            m_unreadable[static_cast<int>(m_files.size())] =
                zh("（无法读取：%1）").arg(reasonText(FsStatus{e.unreadable, e.unreadableErrno}));
        m_folderOf.push_back(e.folder);
        m_files.push_back(std::move(e.file));
    }
    m_folders = std::move(tree.folders);
    endResetModel();
}

const TreeFolder& FileListModel::folderOf(int i) const {
    static const TreeFolder none;
    return holdsTree() ? m_folders[m_folderOf[static_cast<std::size_t>(i)]] : none;
}

FileListBox::FileListBox(FileSystem& fs, QWidget* parent) : QListView(parent), m_fs(fs) {
    setModel(&m_model);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A long name loses its middle, never its end and extension; the
    // tooltip has it whole.
    setTextElideMode(Qt::ElideMiddle);
    setMouseTracking(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListBox::markSelectionDirty);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &FileListBox::markSelectionDirty);
}

FsStatus FileListBox::reload(const std::string& folder) {
    std::vector<ListedFile> files;
    const auto chosen = m_readings.find(folder);
    // Without a code page of the user's, listFiles weighs the locale's.
    const NameReading reading = chosen != m_readings.end() ? chosen->second : NameReading{};
    CodePageJudgement judgement;
    std::size_t filteredOut = 0;
    FsStatus st;
    // A folder of a hundred thousand files takes a moment to read: it is
    // read on a thread of its own, with the busy cursor, while the window
    // answers. A folder chosen meanwhile has the last word.
    const std::uint64_t generation = ++m_generation;
    m_listing = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const SortOrder order = m_sort;
    if (m_tree.subfolders || m_tree.folders)
        return readTree(folder, reading);
    runAnswering([&] {
        st = listFiles(m_fs, folder, m_patterns, m_flags, files, reading, &judgement, &filteredOut);
        if (st.ok())
            sortListed(m_fs, folder, files, order);
    });
    if (const FsStatus ended = readingEnded(generation, st, folder); !ended.ok())
        return ended;
    m_judgement = judgement;
    m_filteredOut = filteredOut;
    m_model.setFiles(std::move(files));
    return st;
}

FsStatus FileListBox::readingEnded(std::uint64_t generation, const FsStatus& st,
                                   const std::string& folder) {
    QGuiApplication::restoreOverrideCursor();
    // A folder chosen meanwhile has the last word.
    if (generation != m_generation)
        return FsStatus{FsError::Superseded, 0};
    m_listing = false;
    if (!st.ok())
        return st;
    m_path = folder;
    m_folderId = m_fs.fileId(folder, ".");
    return {};
}

FsStatus FileListBox::readTree(const std::string& folder, const NameReading& reading) {
    const std::uint64_t generation = m_generation;
    TreeListing tree;
    FsStatus st;
    // The count of entries read so far is shown while the walk goes on; a
    // folder chosen meanwhile stops it.
    std::atomic<std::size_t> read{0};
    QTimer count;
    connect(&count, &QTimer::timeout, this, [&] {
        m_read = read.load();
        viewport()->update();
    });
    count.start(100);
    const SortOrder order = m_sort;
    FileSystem& fs = m_fs;
    runAnswering([&] {
        st = listTree(fs, folder, m_patterns, m_flags, m_tree, tree, reading, [&](std::size_t n) {
            read = n;
            return generation == m_generation;
        });
        if (!st.ok())
            return;
        // Each folder's files in the chosen order, where it is not the
        // natural one the walk gives; folders stay after what they hold.
        if (order == SortOrder{})
            return;
        auto& entries = tree.entries;
        for (std::size_t i = 0; i < entries.size();) {
            std::size_t j = i;
            while (j < entries.size() && entries[j].folder == entries[i].folder &&
                   !entries[j].isFolder())
                ++j;
            if (j - i > 1) {
                std::vector<ListedFile> files;
                for (std::size_t k = i; k < j; ++k)
                    files.push_back(std::move(entries[k].file));
                const std::string& sub = tree.folders[entries[i].folder].sub;
                sortListed(fs, sub.empty() ? folder : joinPath(folder, sub), files, order);
                for (std::size_t k = i; k < j; ++k)
                    entries[k].file = std::move(files[k - i]);
            }
            i = std::max(j, i + 1);
        }
    });
    count.stop();
    m_read = 0;
    if (const FsStatus ended = readingEnded(generation, st, folder); !ended.ok())
        return ended;
    m_judgement = {};
    for (const auto& [at, judged] : tree.judgements)
        if (at == 0)
            m_judgement = judged;
    m_filteredOut = tree.filteredOut;
    m_model.setTree(std::move(tree));
    return st;
}

std::string FileListBox::Sub(int i) const { return m_model.folderOf(i).sub; }

std::string FileListBox::PathBytes(int i) const {
    const std::string& sub = m_model.folderOf(i).sub;
    const std::string& bytes = m_model.files()[static_cast<std::size_t>(i)].bytes;
    return sub.empty() ? bytes : sub + "/" + bytes;
}

FsStatus FileListBox::setTreeOptions(const TreeOptions& options) {
    m_tree = options;
    return m_path.empty() ? FsStatus{} : keepingSelection([this] { return reload(m_path); });
}

std::optional<EntryShape> FileListBox::Shape(int i) const {
    const ListedFile& f = m_model.files()[static_cast<std::size_t>(i)];
    return EntryShape{f.kind, f.link};
}

FsStatus FileListBox::setPath(const std::string& folder) { return reload(folder); }

FsStatus FileListBox::setPattern(const std::u32string& pattern) {
    m_patternText = pattern;
    m_patterns = WildcardSet(pattern);
    return m_path.empty() ? FsStatus{} : reload(m_path);
}

FsStatus FileListBox::setFlags(const AttributeFlags& flags) {
    m_flags = flags;
    return m_path.empty() ? FsStatus{} : reload(m_path);
}

void FileListBox::Refresh() { m_lastRefresh = reload(m_path); }

FsStatus FileListBox::setSortOrder(SortOrder order) {
    m_sort = order;
    return m_path.empty() ? FsStatus{} : keepingSelection([this] { return reload(m_path); });
}

FsStatus FileListBox::keepingSelection(const std::function<FsStatus()>& reread) {
    std::vector<std::string> selected;
    for (int i = 0; i < ListCount(); ++i)
        if (Selected(i))
            selected.push_back(PathBytes(i));
    const FsStatus st = reread();
    selectNames(std::move(selected));
    return st;
}

void FileListBox::selectNames(std::vector<std::string> selected) {
    std::sort(selected.begin(), selected.end());
    // One selection of runs: selecting row by row costs a merge each.
    QItemSelection runs;
    const int n = ListCount();
    auto on = [&](int r) {
        return std::binary_search(selected.begin(), selected.end(), PathBytes(r));
    };
    for (int row = 0; row < n;) {
        if (!on(row)) {
            ++row;
            continue;
        }
        const int first = row;
        while (row < n && on(row))
            ++row;
        runs.append(QItemSelectionRange(m_model.index(first), m_model.index(row - 1)));
    }
    if (!runs.isEmpty())
        selectionModel()->select(runs, QItemSelectionModel::Select);
}

FsStatus FileListBox::chooseCodePage(std::optional<NameEncoding> codePage) {
    return keepingSelection([&] {
        m_readings[m_path] = NameReading{false, codePage, std::nullopt};
        return reload(m_path);
    });
}

FsStatus FileListBox::judgeCodePage() {
    return keepingSelection([&] {
        m_readings.erase(m_path);
        return reload(m_path);
    });
}

void FileListBox::selectAllEntries() {
    const int n = ListCount();
    if (n == 0)
        return;
    selectionModel()->select(QItemSelection(m_model.index(0), m_model.index(n - 1)),
                             QItemSelectionModel::Select);
}

void FileListBox::clearAllEntries() { selectionModel()->clearSelection(); }

void FileListBox::invertEntries() {
    const int n = ListCount();
    if (n == 0)
        return;
    // A toggle over a scattered selection makes the selection model compare
    // every old range with every new one. Building the complement's runs from
    // the flags and selecting them into an empty selection stays linear.
    const std::vector<bool>& on = selectionFlags();
    QItemSelection inverted;
    int row = 0;
    while (row < n) {
        while (row < n && on[static_cast<std::size_t>(row)])
            ++row;
        const int first = row;
        while (row < n && !on[static_cast<std::size_t>(row)])
            ++row;
        if (row > first)
            inverted.append(QItemSelectionRange(m_model.index(first), m_model.index(row - 1)));
    }
    selectionModel()->clearSelection();
    if (!inverted.isEmpty())
        selectionModel()->select(inverted, QItemSelectionModel::Select);
}

void FileListBox::setSelected(int i, bool on) {
    selectionModel()->select(m_model.index(i),
                             on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int FileListBox::topIndex() const { return verticalScrollBar()->value(); }

int FileListBox::ListCount() const { return m_model.rowCount(); }

std::u32string FileListBox::List(int i) const {
    return m_model.files()[static_cast<std::size_t>(i)].name;
}

NameEncoding FileListBox::Encoding(int i) const {
    return m_model.files()[static_cast<std::size_t>(i)].encoding;
}

bool FileListBox::Unsure(int i) const {
    return m_model.files()[static_cast<std::size_t>(i)].unsure;
}

bool FileListBox::AlsoUtf8(int i) const {
    return m_model.files()[static_cast<std::size_t>(i)].alsoUtf8;
}

std::string FileListBox::Bytes(int i) const {
    return m_model.files()[static_cast<std::size_t>(i)].bytes;
}

const std::vector<bool>& FileListBox::selectionFlags() const {
    // The selection model answers per range; a pass over a large, scattered
    // selection reads one flag per entry instead.
    if (m_selectionDirty) {
        m_selected.assign(static_cast<std::size_t>(ListCount()), false);
        for (const QItemSelectionRange& r : selectionModel()->selection())
            for (int row = r.top(); row <= r.bottom(); ++row)
                m_selected[static_cast<std::size_t>(row)] = true;
        m_selectionDirty = false;
    }
    return m_selected;
}

bool FileListBox::Selected(int i) const {
    const std::vector<bool>& on = selectionFlags();
    return i >= 0 && static_cast<std::size_t>(i) < on.size() && on[static_cast<std::size_t>(i)];
}

void FileListBox::mouseMoveEvent(QMouseEvent* e) {
    QListView::mouseMoveEvent(e);
    const QPointF p = e->position();
    emit mouseMoved(e->buttons(), e->modifiers(), static_cast<float>(p.x() * kTwipsPerPixel),
                    static_cast<float>(p.y() * kTwipsPerPixel));
}

} // namespace nw::app

namespace nw::app {

QString FileListBox::emptyText() const {
    if (ListCount() > 0 || m_filteredOut == 0)
        return {};
    return zh("筛选条件隐藏了全部 %1 个文件").arg(m_filteredOut);
}

QString FileListBox::listingText() const {
    return m_listing && m_read > 0 ? zh("正在读取子文件夹：已读到 %1 项").arg(m_read) : QString();
}

void FileListBox::paintEvent(QPaintEvent* e) {
    QListView::paintEvent(e);
    if (const QString reading = listingText(); !reading.isEmpty()) {
        // Over the foot of the list, which shows what it showed until the
        // walk ends.
        QPainter p(viewport());
        const int h = p.fontMetrics().height() + 4;
        const QRect bar(0, viewport()->height() - h, viewport()->width(), h);
        p.fillRect(bar, palette().color(QPalette::AlternateBase));
        p.setPen(palette().color(QPalette::Text));
        p.drawText(bar.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(reading, Qt::ElideRight, bar.width() - 8));
    }
    const QString text = emptyText();
    if (text.isEmpty())
        return;
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::PlaceholderText));
    const QRect line = viewport()->rect().adjusted(4, 2, -4, -2);
    p.drawText(line, Qt::AlignLeft | Qt::AlignTop,
               p.fontMetrics().elidedText(text, Qt::ElideRight, line.width()));
}

bool FileListBox::viewportEvent(QEvent* e) {
    // The list's own tooltip (the full name of a long entry), not the view's
    // per-item one, which this model does not have.
    if (e->type() == QEvent::ToolTip) {
        const auto* he = static_cast<QHelpEvent*>(e);
        if (toolTip().isEmpty())
            QToolTip::hideText();
        else if (Qt::mightBeRichText(toolTip())) // a name, never markup
            QToolTip::showText(
                he->globalPos(),
                QStringLiteral("<p style='white-space:pre'>%1</p>").arg(toolTip().toHtmlEscaped()),
                viewport());
        else
            QToolTip::showText(he->globalPos(), toolTip(), viewport());
        return true;
    }
    return QListView::viewportEvent(e);
}

} // namespace nw::app
