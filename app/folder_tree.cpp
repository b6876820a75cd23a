#include "app/folder_tree.h"

#include "app/answering.h"
#include "app/qt_text.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace nw::app {
namespace {
constexpr int kPathRole = Qt::UserRole + 1;
}

FolderTree::FolderTree(FileSystem& fs, QWidget* parent) : QTreeWidget(parent), m_fs(fs) {
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(12);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    setItemsExpandable(false);
    setRootIsDecorated(false);
}

FsStatus FolderTree::setPath(const std::string& folderIn, const std::string& rootIn) {
    const std::string folder = normalizeFolder(folderIn);
    std::string root = normalizeFolder(rootIn);
    std::vector<ListedFile> subfolders;
    FsStatus st;
    // Read while the window answers; a folder chosen meanwhile has the last
    // word.
    const std::uint64_t generation = ++m_generation;
    runAnswering([&] { st = listSubfolders(m_fs, folder, subfolders); });
    if (generation != m_generation)
        return FsStatus{FsError::Superseded, 0};
    if (!st.ok())
        return st;
    if (folder.compare(0, root.size(), root) != 0)
        root.assign(1, '/'); // (assigning "/" trips a false GCC 12 -Wrestrict)

    // The chain root, ..., folder, each a child of the one before.
    std::vector<std::string> chain{folder};
    while (chain.back() != root && chain.back() != "/")
        chain.push_back(parentFolder(chain.back()));
    std::reverse(chain.begin(), chain.end());

    clear();
    QTreeWidgetItem* parentItem = nullptr;
    for (const std::string& f : chain) {
        const std::string shown =
            parentItem ? f.substr(f.find_last_of('/') + 1) : f; // the root shows its path
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, bytesToQt(shown));
        item->setData(0, kPathRole, QByteArray::fromStdString(f));
        parentItem = item;
    }
    for (const ListedFile& sub : subfolders) {
        auto* item = new QTreeWidgetItem(parentItem);
        item->setText(0, bytesToQt(sub.bytes));
        item->setData(0, kPathRole, QByteArray::fromStdString(joinPath(folder, sub.bytes)));
    }
    expandAll();
    setCurrentItem(parentItem);
    m_path = folder;
    return {};
}

void FolderTree::open(QTreeWidgetItem* item) {
    if (!item)
        return;
    emit folderOpened(item->data(0, kPathRole).toByteArray().toStdString());
}

void FolderTree::mouseDoubleClickEvent(QMouseEvent* e) {
    // Opening rebuilds the tree, so the view's own double-click handling,
    // which still refers to the old items, is left out.
    if (e->button() == Qt::LeftButton) {
        if (QTreeWidgetItem* item = itemAt(e->position().toPoint())) {
            e->accept();
            open(item);
            return;
        }
    }
    QTreeWidget::mouseDoubleClickEvent(e);
}

void FolderTree::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        open(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(e);
}

} // namespace nw::app
