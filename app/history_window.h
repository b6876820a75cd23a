#pragma once
// "改名历史": the passes kept on disk, newest first, each with its time, its
// tool, how many files it renamed and its folder; one that can still be
// undone is undone from here ("按此撤销"), an older one included. A pass
// already undone, an undo, or one whose folder is not there now is shown
// greyed with the reason.
#include <QDialog>

class QListWidget;
class QPushButton;

namespace nw::app {

class PassRunner;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    HistoryWindow(PassRunner& runner, QWidget* parent);

    // Reads the history again.
    void refresh();
    // Undoes the pass chosen in the list.
    void undoChosen();

    QListWidget* lstPasses = nullptr;
    QPushButton* cmdUndo = nullptr;

private:
    PassRunner& m_runner;
};

} // namespace nw::app
