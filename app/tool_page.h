#pragma once
// A page of SSTab1. Its controls are placed in twips counted from the tab
// control's own top-left corner, the tab row included.
#include "core/rename_pass.h"

#include <QWidget>

namespace nw::app {

class FileListBox;
class PassRunner;

struct PageContext {
    FileListBox& list;
    FileSystem& fs;
    PassRunner& runner;
};

class ToolPage : public QWidget {
    Q_OBJECT
public:
    ToolPage(PageContext ctx, QWidget* parent = nullptr) : QWidget(parent), m_ctx(ctx) {}
    // Creates and places the controls; origin is where the page stands inside
    // the tab control, in pixels.
    virtual void build(QPoint origin) = 0;

protected:
    // Runs the rename pass with this page's tool and tells the user when it
    // stopped.
    PassResult runPass(const RenameTool& tool);

    PageContext m_ctx;
};

} // namespace nw::app
