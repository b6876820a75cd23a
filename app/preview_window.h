#pragma once
// "改名预览": what an apply button would do with the page's settings and the
// selection as they stand, entry by entry, without touching the disk. It
// follows the settings and the selection while it is open.
#include "app/tool_page.h"
#include "core/dry_run.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QTimer;

namespace nw::app {

class FileListBox;
class PassRunner;
class ToolPage;

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void setPreview(Preview p);
    const Preview& preview() const { return m_preview; }
    // Only the rows where something happens (a rename, a skip, the stop, an
    // entry left for a reason the user should know).
    void setChangedOnly(bool on);
    bool changedOnly() const { return m_changedOnly; }
    // The rows there would be with everything shown.
    int allRows() const { return static_cast<int>(m_preview.rows.size()); }

private:
    void pick(); // the rows shown
    const PreviewRow& row(int r) const;

    Preview m_preview;
    bool m_changedOnly = false;
    std::vector<int> m_shown; // indexes into the rows, in order
};

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    // The preview of a page's apply button, following the page's settings.
    PreviewWindow(ToolPage& page, QPushButton& button, FileListBox& list, FileSystem& fs,
                  PassRunner& runner, QWidget* parent);
    // The preview of any tool: plan gives it as things stand, apply runs it.
    PreviewWindow(QObject& opener, std::function<ToolPlan()> plan, std::function<void()> apply,
                  FileListBox& list, FileSystem& fs, PassRunner& runner, QWidget* parent);

    // What it previews: the apply button, or the menu item.
    QObject& opener() const { return m_opener; }
    // The dry run again, with the settings and selection of now.
    void refresh();
    void cmdApply_Click();

    PreviewModel* model = nullptr;
    QTableView* table = nullptr;
    QLabel* lblSummary = nullptr;
    QCheckBox* chkChangedOnly = nullptr; // "只显示有变化的文件"
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdClose = nullptr;

    // Before it is first shown: transient for main, and beside it where the
    // screen has room, else over its list, clear of settings (a rectangle in
    // screen coordinates).
    void placeBeside(QWidget& main, const QRect& settings);

protected:
    // The place chosen, kept where the window system dropped it on the way
    // to the screen (a busy window manager was seen to).
    void showEvent(QShowEvent* e) override;

private:
    void keepPlace();
    QRect m_placed;           // from placeBeside: the frame's place, the client's size
    void follow();            // refresh soon, once, whatever changed
    bool m_refreshed = false; // the first preview chooses the filter
    QObject& m_opener;
    std::function<ToolPlan()> m_plan;
    std::function<void()> m_apply;
    FileListBox& m_list;
    FileSystem& m_fs;
    PassRunner& m_runner;
    QTimer* m_later = nullptr;
};

} // namespace nw::app
