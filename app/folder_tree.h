#pragma once
// Dir1: the folders from the mount's root down to the current folder, and the
// sub-folders of the current folder. Double-click (or Enter) opens a folder.
#include "platform/file_system.h"

#include <QTreeWidget>

#include <cstdint>

namespace nw::app {

class FolderTree : public QTreeWidget {
    Q_OBJECT
public:
    FolderTree(FileSystem& fs, QWidget* parent = nullptr);

    // Shows folder under the given root. On failure the tree stays as it was.
    FsStatus setPath(const std::string& folder, const std::string& root);
    const std::string& Path() const { return m_path; }

signals:
    void folderOpened(const std::string& folder);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void open(QTreeWidgetItem* item);

    FileSystem& m_fs;
    std::string m_path;
    std::uint64_t m_generation = 0; // of the newest reading
};

} // namespace nw::app
