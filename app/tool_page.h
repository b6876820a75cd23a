#pragma once
// A page of SSTab1. Its controls are placed in twips counted from the tab
// control's own top-left corner, the tab row included.
#include "core/rename_pass.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <vector>

class QPushButton;

namespace nw::app {

class FileListBox;
class PassRunner;

struct PageContext {
    FileListBox& list;
    FileSystem& fs;
    PassRunner& runner;
};

// What an apply button does with the page's settings as they stand: the
// tool it runs, built against a file system, or no pass at all (and what the
// user is told instead, if anything).
struct ToolPlan {
    std::function<RenameTool(FileSystem&)> make;
    QString refusal;
};

class ToolPage : public QWidget {
    Q_OBJECT
public:
    ToolPage(PageContext ctx, QWidget* parent = nullptr) : QWidget(parent), m_ctx(ctx) {}
    // Creates and places the controls; origin is where the page stands inside
    // the tab control, in pixels.
    virtual void build(QPoint origin) = 0;

    // The page's apply buttons, with a short name for each.
    virtual std::vector<std::pair<QPushButton*, QString>> applyButtons() const { return {}; }
    // The page's controls that take focus, in the order Tab visits them.
    virtual std::vector<QWidget*> focusChain() const = 0;
    // The plan of one of them. A preview asks for hooks that record instead
    // of asking the user.
    virtual ToolPlan plan(QPushButton* button, bool preview) {
        (void)button;
        (void)preview;
        return {};
    }

signals:
    // A setting of the page changed: an open preview follows.
    void settingsChanged();

protected:
    // The page's settings, as it lists them: a change of any (text typed, a
    // box checked, an item chosen) is a settingsChanged.
    void changesSettings(std::initializer_list<QWidget*> controls);
    // Runs an apply button's plan: the pass (which tells the user where it
    // stopped, if it did), or the refusal.
    PassResult runButton(QPushButton* button);

    PageContext m_ctx;
};

} // namespace nw::app
