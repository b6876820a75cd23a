#pragma once
// The file list's context menu (right button or the Menu key): tools that
// work on the selected entries beside the pages' own, the preview of the page
// in front, and undo.
#include "app/tool_page.h"
#include "platform/file_system.h"
#include "platform/sort_order.h"

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

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
    // The preview of a tool of the menu's own: what opened it, the tool as
    // things stand, and what "按此改名" runs.
    using ToolPreviewOpener =
        std::function<void(QObject&, std::function<ToolPlan()>, std::function<void()>)>;
    FileListMenu(FileListBox& list, PassRunner& runner, QWidget* window,
                 std::function<ToolPage*()> pageInFront, PreviewOpener openPreview,
                 ToolPreviewOpener openToolPreview);
    ~FileListMenu() override;

    // pos: in the list's viewport.
    void popup(const QPoint& pos);
    // Brings the items up to date with the page in front and the history.
    void update();

    // Opens the preview of renaming every selected name read in a legacy
    // code page to the same characters in UTF-8; its "按此改名" runs it.
    void mnuToUtf8_Click();
    void runToUtf8();
    void mnuUndo_Click();
    // Opens "改名历史" (or brings it up to date and to the front), with the
    // pass of that record chosen where one is given.
    void mnuHistory_Click();
    void showHistory(const std::string& record);
    // Tells what recovery did, and for each pass it found cut off asks
    // "撤销这次改名" or "保留"; the first opens the pass's undo in the
    // history. Either way the pass is kept there.
    void offerUndoOfInterrupted(const RecoveryReport& r);

    QMenu* menu = nullptr;
    QAction* mnuToUtf8 = nullptr;
    QAction* mnuPreview = nullptr; // one button: this; several: its sub-menu
    QMenu* mnuPreviewTools = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuHistory = nullptr;
    QMenu* mnuCodePage = nullptr; // "文件名编码"
    QAction* mnuCodePageAuto = nullptr;
    QAction* mnuCodePageNone = nullptr;
    std::vector<std::pair<QAction*, NameEncoding>> mnuCodePages;
    QMenu* mnuSort = nullptr; // "排序方式"
    std::vector<std::pair<QAction*, SortKey>> mnuSortKeys;
    QAction* mnuSortReversed = nullptr;
    // The list holds the files of every folder below; folders are entries.
    QAction* mnuSubfolders = nullptr;
    QAction* mnuFolders = nullptr;

private:
    void buildCodePageMenu();
    void buildSortMenu();
    void buildTreeItems();
    void tell(const FsStatus& st); // a folder that cannot be read again

    FileListBox& m_list;
    PassRunner& m_runner;
    std::function<ToolPage*()> m_pageInFront;
    PreviewOpener m_openPreview;
    ToolPreviewOpener m_openToolPreview;
};

} // namespace nw::app
