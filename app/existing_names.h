#pragma once
// A new name that already exists brings up the box with "跳过", "全部跳过" and
// "停止改名"; after "全部跳过" the rest are skipped without a box and counted.
// Tools that map many names at once (a custom text, a replacement) ask before
// each rename; every other tool when the drive refuses the name.
#include "core/rename_pass.h"

class QString;
class QWidget;

namespace nw::app {

class ExistingNames {
public:
    // Before a pass: nothing skipped, nothing chosen.
    void start();
    // Gives tool the check of its new names. A preview asks nothing: an
    // existing name is shown as skipped. Given the list the pass walks (after
    // tool's transform is set), the box names the file renamed by its path
    // below the list's folder where the list holds a tree.
    void install(RenameTool& tool, FileSystem& fs, QWidget* window, bool preview,
                 const FileListSource* list = nullptr);
    // For tools that find a name taken only when the drive refuses it (a
    // conversion, an extension): the same box, naming the file renamed too.
    void installForTaken(RenameTool& tool, QWidget* window, bool preview,
                         const FileListSource* list = nullptr);
    // After the pass: tells how many were skipped without a box, if any.
    void reportSkipped(QWidget* window) const;

private:
    // Keeps the entry tool is at, for the box to name.
    void follow(RenameTool& tool, const FileListSource* list);
    QString shownOld(const std::u32string& oldName) const;

    const FileListSource* m_list = nullptr;
    int m_at = -1; // the list's entry the pass is at
    bool m_skipAll = false;
    bool m_stop = false; // "停止改名" in the box
    int m_skippedSilently = 0;
};

} // namespace nw::app
