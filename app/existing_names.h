#pragma once
// A new name that already exists brings up the box with "跳过", "全部跳过" and
// "停止改名"; after "全部跳过" the rest are skipped without a box and counted.
// Tools that map many names at once (a custom text, a replacement) ask before
// each rename; every other tool when the drive refuses the name.
#include "core/rename_pass.h"

class QWidget;

namespace nw::app {

class ExistingNames {
public:
    // Before a pass: nothing skipped, nothing chosen.
    void start();
    // Gives tool the check of its new names. A preview asks nothing: an
    // existing name is shown as skipped.
    void install(RenameTool& tool, FileSystem& fs, QWidget* window, bool preview);
    // For tools that find a name taken only when the drive refuses it (a
    // conversion, an extension): the same box, naming the file renamed too.
    void installForTaken(RenameTool& tool, QWidget* window, bool preview);
    // After the pass: tells how many were skipped without a box, if any.
    void reportSkipped(QWidget* window) const;

private:
    bool m_skipAll = false;
    bool m_stop = false; // "停止改名" in the box
    int m_skippedSilently = 0;
};

} // namespace nw::app
