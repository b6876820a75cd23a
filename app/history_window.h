#pragma once
// "改名历史": the passes kept on disk, newest first, each with its time, its
// tool, how many files it has yet to put back and its folder. Choosing one
// shows what its undo would do to each file (back to its old name, or why
// not); one that can still be undone is undone from here ("按此撤销"), an
// older one included. An undo, or a pass whose folder is not there now, is
// shown greyed with the reason.
#include <QDialog>

#include <string>

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace nw::app {

class PassRunner;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    HistoryWindow(PassRunner& runner, QWidget* parent);

    // Reads the history again.
    void refresh();
    // Chooses the pass of that record, showing its undo.
    void choose(const std::string& record);
    // Undoes the pass chosen in the list.
    void undoChosen();

    QListWidget* lstPasses = nullptr;
    QTreeWidget* lstUndoPreview = nullptr; // the chosen pass's files: now, and after undo
    QLabel* lblUndoSummary = nullptr;
    QPushButton* cmdUndo = nullptr;

private:
    void showUndoOf(const QString& record);
    PassRunner& m_runner;
};

} // namespace nw::app
