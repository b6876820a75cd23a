#pragma once
// The file list's context menu (right button or the Menu key): tools that
// work on the selected entries beside the pages' own, the preview of the page
// in front, and undo.
#include "platform/file_system.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QPoint;
class QPushButton;
class QWidget;

namespace nw::app {

class FileListBox;
class PassRunner;
class ToolPage;

class FileListMenu : public QObject {
    Q_OBJECT
public:
    using PreviewOpener = std::function<void(ToolPage&, QPushButton&)>;
    FileListMenu(FileListBox& list, PassRunner& runner, QWidget* window,
                 std::function<ToolPage*()> pageInFront, PreviewOpener openPreview);
    ~FileListMenu() override;

    // pos: in the list's viewport.
    void popup(const QPoint& pos);
    // Brings the items up to date with the page in front and the history.
    void update();

    // Renames every selected GBK name to the same characters in UTF-8.
    void mnuToUtf8_Click();
    void mnuUndo_Click();

    QMenu* menu = nullptr;
    QAction* mnuToUtf8 = nullptr;
    QAction* mnuPreview = nullptr; // one button: this; several: its sub-menu
    QMenu* mnuPreviewTools = nullptr;
    QAction* mnuUndo = nullptr;

private:
    FileListBox& m_list;
    PassRunner& m_runner;
    std::function<ToolPage*()> m_pageInFront;
    PreviewOpener m_openPreview;
};

} // namespace nw::app
