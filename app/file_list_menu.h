#pragma once
// The file list's context menu (right button or the Menu key): tools that
// work on the selected entries beside the pages' own.
#include "platform/file_system.h"

#include <QObject>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace nw::app {

class FileListBox;
class PassRunner;

class FileListMenu : public QObject {
    Q_OBJECT
public:
    FileListMenu(FileListBox& list, PassRunner& runner, QWidget* window);
    ~FileListMenu() override;

    // pos: in the list's viewport.
    void popup(const QPoint& pos);

    // Renames every selected GBK name to the same characters in UTF-8.
    void mnuToUtf8_Click();

    QMenu* menu = nullptr;
    QAction* mnuToUtf8 = nullptr;

private:
    FileListBox& m_list;
    PassRunner& m_runner;
};

} // namespace nw::app
