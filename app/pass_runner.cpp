#include "app/pass_runner.h"

#include "app/answering.h"
#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/user_messages.h"
#include "core/dry_run.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProgressDialog>

#include <algorithm>
#include <ctime>
#include <memory>

namespace nw::app {

PassRunner::PassRunner(QWidget* window, FileListBox& list, FileSystem& fs)
    : QObject(window), m_window(window), m_list(list), m_fs(fs), m_historyFolder(historyFolder()) {
    // The passes of earlier runs, oldest first, stay undoable; undo's own
    // passes are history, not undoable.
    const HistoryReading h = readHistory(m_historyFolder);
    for (auto it = h.records.rbegin(); it != h.records.rend(); ++it)
        if (!it->undo)
            m_history.record(passOfRecord(*it), it->name);
    m_damagedRecords = h.damaged.size();
}

void PassRunner::tellDamagedRecords() {
    if (m_damagedRecords > 0)
        showMessage(m_window, MessageKind::Warning,
                    QStringLiteral("改名历史中有 %1 条记录已损坏，没有按它们做任何改动，已跳过。")
                        .arg(m_damagedRecords));
    m_damagedRecords = 0;
}

std::string PassRunner::keep(const PassResult& pass, const std::string& tool, bool undo) {
    if (pass.done.empty() || m_historyFolder.empty())
        return {};
    const auto id = m_fs.folderId(pass.folder);
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    HistoryRecord r = historyRecordOf(pass, id.value_or(FileId{}), tool, now, undo);
    // A history that cannot be written costs undo after a restart, not the pass.
    return saveHistoryRecord(m_historyFolder, r, now).ok() ? r.name : std::string();
}

void PassRunner::protectFile(const std::string& folder, const std::string& name) {
    if (const auto id = m_fs.fileId(folder, name)) {
        m_protected.push_back(*id);
        m_protectedNames.push_back(name);
    }
}

void PassRunner::protect(RenameTool& tool) {
    tool.isProgramFile = [this](const std::string& folder, const std::string& name) {
        if (std::find(m_protectedNames.begin(), m_protectedNames.end(), name) ==
            m_protectedNames.end())
            return false;
        const auto id = m_fs.fileId(folder, name);
        return id && std::find(m_protected.begin(), m_protected.end(), *id) != m_protected.end();
    };
}

bool PassRunner::refusedWhileListing() {
    if (!m_list.isListing() && !workUnderWay())
        return false;
    showMessage(m_window, MessageKind::Information,
                QStringLiteral("正在读取文件夹，请等文件列表读完再改名。"));
    return true;
}

void PassRunner::showProgress(RenameTool& tool, std::unique_ptr<QProgressDialog>& dialog,
                              const QString& label) {
    // The dialog comes up once the pass has run for a while, and is brought
    // up to date a few times a second: asking the clock costs next to
    // nothing per entry.
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto shownAt = std::make_shared<qint64>(-1);
    tool.progress = [this, &dialog, label, clock, shownAt](int done, int selected) {
        const qint64 now = clock->elapsed();
        if (now < m_delayMs || (*shownAt >= 0 && now - *shownAt < m_intervalMs))
            return !(dialog && dialog->wasCanceled());
        *shownAt = now;
        if (!dialog) {
            dialog = std::make_unique<QProgressDialog>(m_window);
            dialog->setObjectName(QStringLiteral("passProgress"));
            dialog->setWindowTitle(QStringLiteral("Namewright"));
            dialog->setCancelButtonText(QStringLiteral("停止"));
            dialog->setWindowModality(Qt::WindowModal);
            dialog->setAutoReset(false);
            dialog->setAutoClose(false);
            dialog->setMinimumDuration(0);
            dialog->setRange(0, selected);
        }
        dialog->setLabelText(label.arg(done).arg(selected));
        dialog->setValue(done); // a modal dialog takes the pending events here
        if (m_hook)
            m_hook(*dialog, done);
        return !dialog->wasCanceled();
    };
}

PassResult PassRunner::undo() {
    if (refusedWhileListing() || m_history.empty())
        return guardedPass();
    // The last pass was made in another folder: the user says whether it is
    // the one meant.
    const std::string folder = m_history.lastFolder();
    if (folder != m_list.Path() &&
        !askYesNo(m_window, QStringLiteral("上次改名是在文件夹“%1”里做的，不是现在显示的文件夹。"
                                           "要撤销那次改名吗？")
                                .arg(namedPath(folder))))
        return guardedPass();
    return runUndo(m_history.lastRecord(), folder, [this](RenameTool hooks) {
        return m_history.undoLast(m_list, m_fs, std::move(hooks));
    });
}

PassResult PassRunner::undoRecord(const std::string& record) {
    if (refusedWhileListing())
        return guardedPass();
    const PassResult* pass = m_history.pass(record);
    if (!pass)
        return guardedPass();
    return runUndo(record, pass->folder, [this, record](RenameTool hooks) {
        return m_history.undoRecord(record, m_list, m_fs, std::move(hooks));
    });
}

PassResult PassRunner::runUndo(const std::string& record, const std::string& folder,
                               const std::function<PassResult(RenameTool)>& walk) {
    // The same walk and the same hooks as a pass: the program's files kept
    // out, the progress dialog with "停止" when it runs long.
    RenameTool hooks;
    protect(hooks);
    std::unique_ptr<QProgressDialog> dialog;
    showProgress(hooks, dialog, QStringLiteral("正在撤销改名：已处理 %1 个，共 %2 个"));
    const std::string tool = "撤销改名";
    // An old name another file has taken since: the box, as for a pass.
    m_taken.start();
    m_taken.installForTaken(hooks, m_window, false);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    PassResult r = walk(std::move(hooks));
    QGuiApplication::restoreOverrideCursor();
    dialog.reset();
    // The pass's record keeps what is still to undo; the undo has one too.
    const PassResult* left = m_history.pass(record);
    if (!record.empty() && !m_historyFolder.empty()) {
        if (left)
            keepHistoryRenames(m_historyFolder, record,
                               historyRecordOf(*left, {}, {}, 0, false).renames);
        else
            removeHistoryRecord(m_historyFolder, record);
    }
    keep(r, tool, true);
    if (r.failure) {
        // The list shows what the undo left, the files it has yet to put
        // back selected: undo again carries on with them.
        m_list.Refresh();
        std::vector<std::string> names;
        if (left)
            for (const RenameRecord& d : left->done)
                names.push_back(d.newName);
        if (m_list.Path() == folder)
            m_list.selectNames(names);
        showMessage(m_window, MessageKind::Warning,
                    r.failure->reason == FailureReason::UserStopped
                        ? QStringLiteral("撤销已按“停止”中止：已撤销 %1 个文件，还有 %2 个文件没有"
                                         "撤销（已选中），再撤销一次会接着做。")
                              .arg(r.renamed)
                              .arg(names.size())
                        : passFailureText(*r.failure) +
                              QStringLiteral("\n已撤销 %1 个文件。").arg(r.renamed));
    }
    m_taken.reportSkipped(m_window);
    return r;
}

QString PassRunner::stoppedText(const PassResult& r) {
    return passFailureText(*r.failure) + QStringLiteral("\n已改名 %1 个文件。").arg(r.renamed);
}

void PassRunner::showAfterStop(const PassResult& r) {
    // The list shows the names on disk, and the entries the pass did not
    // reach (the one it stopped at included) stay selected, so that the
    // button carries on from there.
    std::vector<std::string> left;
    const int from = std::max(0, r.failure->index);
    for (int i = from; i < m_list.ListCount(); ++i)
        if (m_list.Selected(i))
            left.push_back(m_list.Bytes(i));
    m_list.Refresh();
    m_list.selectNames(std::move(left));
}

PassResult PassRunner::run(RenameTool tool,
                           const std::function<RenameTool(FileSystem&)>& planTool) {
    if (refusedWhileListing())
        return guardedPass();
    protect(tool);

    std::unique_ptr<QProgressDialog> dialog;
    showProgress(tool, dialog, QStringLiteral("正在改名：已处理 %1 个，共选中 %2 个"));

    // A tool that does not test its new names beforehand meets a taken one
    // when the drive refuses it: the box, as for the tools that do.
    const bool askWhenTaken = !tool.wantsNewName;
    if (askWhenTaken) {
        m_taken.start();
        m_taken.installForTaken(tool, m_window, false);
    }

    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    PassResult r = RunPlannedPass(m_list, m_fs, tool, [&](FileSystem& memory) {
        RenameTool t = planTool(memory);
        protect(t);
        skipTakenNames(t);
        return t;
    });
    QGuiApplication::restoreOverrideCursor();
    dialog.reset();
    m_history.record(r, keep(r, tool.description, false));
    if (r.failure) {
        showAfterStop(r);
        showMessage(m_window, MessageKind::Warning, stoppedText(r));
    } else if (r.outcome == PassResult::Outcome::Completed && !m_list.lastRefresh().ok() &&
               m_list.lastRefresh().error != FsError::Superseded)
        showMessage(m_window, MessageKind::Warning,
                    folderFailureText(m_list.Path(), m_list.lastRefresh()));
    else if (!r.unusual.empty())
        showMessage(m_window, MessageKind::Information, unusualText(r.unusual));
    if (askWhenTaken)
        m_taken.reportSkipped(m_window);
    return r;
}

void skipTakenNames(RenameTool& tool) {
    if (!tool.wantsNewName)
        tool.skipTaken = [](const std::u32string&, const std::u32string&) { return true; };
}

} // namespace nw::app
