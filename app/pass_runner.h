#pragma once
// Every rename pass the window starts goes through here: the program's own
// files kept out of it, a progress dialog with "停止" when it runs long, and
// the one message that says where it stopped, if it did.
#include "app/existing_names.h"
#include "core/rename_pass.h"
#include "core/undo.h"
#include "platform/history.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QProgressDialog;
class QWidget;

namespace nw::app {

class FileListBox;

// What a dry run of a tool that does not test its new names beforehand does
// with a name the drive finds taken: shows it as skipped, as the real pass
// does once the user has answered the box.
void skipTakenNames(RenameTool& tool);

class PassRunner : public QObject {
    Q_OBJECT
public:
    PassRunner(QWidget* window, FileListBox& list, FileSystem& fs);

    // A file of the program (its executable, its table) that no pass renames.
    void protectFile(const std::string& folder, const std::string& name);

    // The pass over File1; what it renamed can be undone afterwards. planTool
    // builds the same tool with hooks that ask no one, for the dry run that
    // finds the plan where the pass is journalled.
    PassResult run(RenameTool tool, const std::function<RenameTool(FileSystem&)>& planTool);
    // While the list is being read no pass starts: the user is told so and
    // true is returned.
    bool refusedWhileListing();
    // Keeps the program's own files out of a tool (the preview's as well).
    void protect(RenameTool& tool);

    // Renames the newest pass's files back (asking first where it was made
    // in another folder than the one shown), then re-reads the list.
    PassResult undo();
    // The same for the pass of a record of the history (an older one, or
    // one of another window): never where its record is damaged, its folder
    // is not there or is another one now, or another window is undoing it.
    PassResult undoRecord(const std::string& record);
    bool canUndo() const;
    // Whether a pass or an undo is walking its folder now (the window still
    // answers meanwhile).
    bool running() const { return m_running; }
    FileSystem& fileSystem() const { return m_fs; }
    // Says how many records of the history on disk could not be read, once.
    void tellDamagedRecords();
    // Keeps a pass recovery found cut off in the history, as far as it had
    // gone, so that it can be undone; answers its record (empty where only
    // this run keeps it).
    std::string keepInterrupted(const RecoveryReport::Interrupted& cut);

    // How long a pass runs before the progress dialog shows, and how often
    // the dialog is brought up to date.
    void setProgressTiming(int delayMs, int intervalMs) {
        m_delayMs = delayMs;
        m_intervalMs = intervalMs;
    }
    // Where the passes' records go (by default historyFolder()); empty: none
    // are kept on disk. For the benchmark.
    void setHistoryFolder(std::string folder) { m_historyFolder = std::move(folder); }
    const std::string& historyFolder() const { return m_historyFolder; }
    // For tests: called whenever the dialog has been brought up to date.
    void setProgressHook(std::function<void(QProgressDialog&, int done)> hook) {
        m_hook = std::move(hook);
    }

private:
    // Hooks the progress dialog (label: "%1 of %2") into a tool's walk; the
    // dialog lives in dialog, from when the walk has run a while.
    void showProgress(RenameTool& tool, std::unique_ptr<QProgressDialog>& dialog,
                      const QString& label);
    void showAfterStop(const PassResult& r);
    // What a pass's messages say of the files, after it: each file named by
    // its path below the list's folder, as the list shows it where it holds a
    // tree.
    struct Told {
        std::optional<PassFailure> failure;
        std::vector<PassStep> unusual;
    };
    static Told namedByPath(const PassResult& r);

    QWidget* m_window;
    FileListBox& m_list;
    FileSystem& m_fs;
    std::vector<FileId> m_protected;
    std::vector<std::string> m_protectedNames; // asked first: a stat per entry costs
    int m_delayMs = 500;
    int m_intervalMs = 50;
    std::function<void(QProgressDialog&, int)> m_hook;
    // Keeps a pass in the history on disk; answers its record's name (empty
    // where it is not kept).
    std::string keep(const PassResult& pass, const std::string& tool, bool undo);
    // The newest record that can still be undone.
    std::optional<HistoryRecord> newestRecord() const;
    // Undoes the last pass of history through the walk, with the dialog,
    // the box and the messages of a pass; undone: what that pass did.
    PassResult runUndo(UndoHistory& history, const std::string& undone);

    UndoHistory m_history; // passes the history on disk could not keep
    std::string m_historyFolder;
    std::vector<std::string> m_damagedRecords; // not yet told of
    bool m_running = false;
    ExistingNames m_taken; // the box for names the drive finds taken
};

} // namespace nw::app
