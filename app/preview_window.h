#pragma once
// "改名预览": what an apply button would do with the page's settings and the
// selection as they stand, entry by entry, without touching the disk. It
// follows the settings and the selection while it is open.
#include "app/tool_page.h"
#include "core/dry_run.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <functional>

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

private:
    Preview m_preview;
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
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void follow(); // refresh soon, once, whatever changed
    QObject& m_opener;
    std::function<ToolPlan()> m_plan;
    std::function<void()> m_apply;
    FileListBox& m_list;
    FileSystem& m_fs;
    PassRunner& m_runner;
    QTimer* m_later = nullptr;
};

} // namespace nw::app
