#include "app/pass_runner.h"
#include "app/texts.h"

#include "app/answering.h"
#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/user_messages.h"
#include "core/dry_run.h"
#include "core/tree_pass.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProgressDialog>

#include <algorithm>
#include <ctime>
#include <memory>

namespace nw::app {

PassRunner::PassRunner(QWidget* window, FileListBox& list, FileSystem& fs)
    : QObject(window), m_window(window), m_list(list), m_fs(fs),
      m_historyFolder(nw::historyFolder()) {
    m_damagedRecords = readHistory(m_historyFolder).damaged;
}

void PassRunner::tellDamagedRecords() {
    if (m_damagedRecords.empty())
        return;
    showMessage(m_window, MessageKind::Warning,
                zh("改名历史中有 %1 条记录已损坏，没有按它们做任何改动，已移到一旁"
                   "（“%2”里以 .kept 结尾的文件）。")
                    .arg(m_damagedRecords.size())
                    .arg(namedPath(m_historyFolder)));
    setAsideHistoryRecords(m_damagedRecords);
    m_damagedRecords.clear();
}

std::string PassRunner::keep(const PassResult& pass, const std::string& tool, bool undo) {
    if (pass.done.empty() || m_historyFolder.empty())
        return {};
    const auto id = m_fs.folderId(pass.folder);
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    // Written while the window answers: a record of a big pass takes a while.
    HistoryRecord r;
    bool saved = false;
    runAnswering([&] {
        r = historyRecordOf(pass, id.value_or(FileId{}), tool, now, undo);
        saved = saveHistoryRecord(m_historyFolder, r, now).ok();
    });
    // A history that cannot be written costs undo after a restart, not the pass.
    return saved ? r.name : std::string();
}

void PassRunner::protectFile(const std::string& folder, const std::string& name) {
    auto keep = [this](const std::string& in, const std::string& n) {
        if (const auto id = m_fs.fileId(in, n);
            id && std::find(m_protected.begin(), m_protected.end(), *id) == m_protected.end()) {
            m_protected.push_back(*id);
            m_protectedNames.push_back(n);
        }
    };
    keep(folder, name);
    // And every folder it is in: a folder renamed in a tree's pass would
    // take the file away from under the program.
    for (std::string at = folder; at.size() > 1 && at.front() == '/';) {
        const std::string up = parentFolder(at);
        keep(up, at.substr(at.rfind('/') + 1));
        at = up;
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
    showMessage(m_window, MessageKind::Information, zh("正在读取文件夹，请等文件列表读完再改名。"));
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
    auto answeredAt = std::make_shared<qint64>(0);
    tool.progress = [this, &dialog, label, clock, shownAt, answeredAt](int done, int selected) {
        const qint64 now = clock->elapsed();
        if (now < m_delayMs) {
            // Before the dialog the window still repaints and its timers
            // run; what the user does waits for the dialog, which takes it.
            if (now - *answeredAt >= m_intervalMs) {
                *answeredAt = now;
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
            return true;
        }
        if (*shownAt >= 0 && now - *shownAt < m_intervalMs)
            return !(dialog && dialog->wasCanceled());
        *shownAt = now;
        if (!dialog) {
            // Making and showing the dialog takes a while of its own.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            dialog = std::make_unique<QProgressDialog>(m_window);
            dialog->setObjectName(QStringLiteral("passProgress"));
            dialog->setWindowTitle(QStringLiteral("Namewright"));
            dialog->setCancelButtonText(zh("停止"));
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

std::optional<HistoryRecord> PassRunner::newestRecord() const {
    for (HistoryRecord& r : readHistory(m_historyFolder).records)
        if (!r.undo && r.count > 0)
            return std::move(r);
    return std::nullopt;
}

bool PassRunner::canUndo() const { return !m_history.empty() || newestRecord().has_value(); }

PassResult PassRunner::undo() {
    if (refusedWhileListing())
        return guardedPass();
    // This run's passes the history on disk could not keep come first; then
    // the newest pass the history keeps, from this window or another.
    std::string folder, record;
    if (!m_history.empty()) {
        folder = m_history.lastFolder();
    } else if (const auto newest = newestRecord()) {
        folder = newest->folder;
        record = newest->name;
    } else {
        return guardedPass();
    }
    // The last pass was made in another folder: the user says whether it is
    // the one meant.
    if (folder != m_list.Path() &&
        !askYesNo(m_window, zh("上次改名是在文件夹“%1”里做的，不是现在显示的文件夹。"
                               "要撤销那次改名吗？")
                                .arg(namedPath(folder))))
        return guardedPass();
    return record.empty() ? runUndo(m_history, {}) : undoRecord(record);
}

PassResult PassRunner::undoRecord(const std::string& record) {
    if (refusedWhileListing())
        return guardedPass();
    auto refuse = [this](const QString& why) {
        showMessage(m_window, MessageKind::Warning, why);
        return guardedPass();
    };
    // Held while it is undone: another window waits its turn.
    HistoryHold hold;
    switch (hold.take(m_historyFolder, record)) {
    case HistoryHold::Busy: return refuse(zh("这次改名正在另一个窗口里撤销，没有做任何改动。"));
    case HistoryHold::Gone:
        return refuse(zh("这次改名已经撤销过了（它的记录已不在改名历史里），"
                         "没有做任何改动。"));
    case HistoryHold::Held: break;
    }
    // Read while the window answers, as a folder is.
    std::optional<HistoryRecord> r;
    PassResult pass;
    runAnswering([&] {
        r = readHistoryFile(m_historyFolder, record);
        if (r)
            pass = passOfRecord(*r);
    });
    if (!r || r->undo)
        return refuse(zh("改名历史中的这条记录已损坏，没有按它做任何改动。"));
    const std::optional<FileId> now = m_fs.folderId(r->folder);
    if (!now)
        return refuse(zh("文件夹“%1”现在不在（已删除、改名，或它的驱动器没有连接），"
                         "没有做任何改动。")
                          .arg(namedPath(r->folder)));
    // Another folder standing at that path now: none of its files is touched.
    if (r->folderId != FileId{} && *now != r->folderId && m_fs.idsSurviveRename(r->folder))
        return refuse(
            zh("文件夹“%1”已不是当时改名的那个文件夹，没有做任何改动。").arg(namedPath(r->folder)));
    UndoHistory one;
    one.record(std::move(pass));
    PassResult result = runUndo(one, r->tool);
    // The record keeps what is still to undo; with nothing left it goes.
    runAnswering([&] {
        std::vector<HistoryRename> left;
        if (const PassResult* rest = one.lastPass())
            left = historyRecordOf(*rest, {}, {}, 0, false).renames;
        keepHistoryRenames(m_historyFolder, record, std::move(left));
    });
    return result;
}

std::string PassRunner::keepInterrupted(const RecoveryReport::Interrupted& cut) {
    PassResult pass;
    pass.folder = cut.folder;
    for (const PlannedRename& p : cut.done) {
        RenameRecord rec{p.oldName, p.newName, std::nullopt, std::nullopt, {}};
        if (const auto e = m_fs.entryInfo(cut.folder, p.newName)) {
            rec.id = e->id;
            rec.stamp = e->stamp;
        }
        pass.done.push_back(std::move(rec));
    }
    pass.renamed = static_cast<int>(pass.done.size());
    const std::string tool =
        (cut.tool.empty() ? zh("改名").toStdString() : cut.tool) + zh("（被中断）").toStdString();
    const std::string record = keep(pass, tool, false);
    if (record.empty())
        m_history.record(pass);
    return record;
}

PassResult PassRunner::runUndo(UndoHistory& history, const std::string& undone) {
    const std::string folder = history.lastFolder();
    // The same walk and the same hooks as a pass: the program's files kept
    // out, the progress dialog with "停止" when it runs long.
    RenameTool hooks;
    protect(hooks);
    std::unique_ptr<QProgressDialog> dialog;
    showProgress(hooks, dialog, zh("正在撤销改名：已处理 %1 个，共 %2 个"));
    // An old name another file has taken since: the box, as for a pass.
    m_taken.start();
    m_taken.installForTaken(hooks, m_window, false);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_running = true;
    PassResult r = history.undoLast(m_list, m_fs, std::move(hooks));
    m_running = false;
    QGuiApplication::restoreOverrideCursor();
    dialog.reset();
    // The undo is history too, not undoable.
    keep(r, undone.empty() ? zh("撤销改名").toStdString() : zh("撤销改名：").toStdString() + undone,
         true);
    const Told told = namedByPath(r);
    if (r.failure) {
        // The list shows what the undo left, the files it has yet to put
        // back selected: undo again carries on with them.
        m_list.Refresh();
        std::vector<std::string> names;
        if (const PassResult* left = history.lastPass(); left && left->folder == folder)
            for (const RenameRecord& d : left->done)
                names.push_back(d.sub.empty() ? d.newName : d.sub + "/" + d.newName);
        if (m_list.Path() == folder)
            m_list.selectNames(names);
        showMessage(m_window, MessageKind::Warning,
                    r.failure->reason == FailureReason::UserStopped
                        ? zh("撤销已按“停止”中止：已撤销 %1 个文件，还有 %2 个文件没有"
                             "撤销（已选中），再撤销一次会接着做。")
                              .arg(r.renamed)
                              .arg(names.size())
                        : passFailureText(*told.failure) +
                              zh("\n已撤销 %1 个文件。").arg(r.renamed));
    } else if (!r.unusual.empty()) {
        showMessage(m_window, MessageKind::Information, unusualText(told.unusual, true));
    }
    m_taken.reportSkipped(m_window);
    return r;
}

PassRunner::Told PassRunner::namedByPath(const PassResult& r) {
    Told t{r.failure, r.unusual};
    if (t.failure)
        t.failure->oldName = withFolder(t.failure->folder, t.failure->oldName);
    for (PassStep& s : t.unusual)
        s.oldName = withFolder(s.folder, s.oldName);
    return t;
}

void PassRunner::showAfterStop(const PassResult& r) {
    // The list shows the names on disk, and the entries the pass did not
    // reach (the one it stopped at included) stay selected, so that the
    // button carries on from there.
    std::vector<std::string> left;
    const int from = std::max(0, r.failure->index);
    for (int i = from; i < m_list.ListCount(); ++i)
        if (m_list.Selected(i))
            left.push_back(m_list.PathBytes(i));
    m_list.Refresh();
    m_list.selectNames(std::move(left));
}

PassResult PassRunner::run(RenameTool tool,
                           const std::function<RenameTool(FileSystem&)>& planTool) {
    if (refusedWhileListing())
        return guardedPass();
    protect(tool);

    std::unique_ptr<QProgressDialog> dialog;
    showProgress(tool, dialog, zh("正在改名：已处理 %1 个，共选中 %2 个"));

    // A tool that does not test its new names beforehand meets a taken one
    // when the drive refuses it: the box, as for the tools that do.
    const bool askWhenTaken = !tool.wantsNewName;
    if (askWhenTaken) {
        m_taken.start();
        m_taken.installForTaken(tool, m_window, false, &m_list);
    }

    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_running = true;
    PassResult r = RunTreePass(m_list, m_fs, tool, [&](FileSystem& memory) {
        RenameTool t = planTool(memory);
        protect(t);
        skipTakenNames(t);
        return t;
    });
    m_running = false;
    QGuiApplication::restoreOverrideCursor();
    dialog.reset();
    // Kept on disk; in memory only where the history cannot be written.
    if (keep(r, tool.description, false).empty())
        m_history.record(r);
    const Told told = namedByPath(r);
    if (r.failure) {
        showAfterStop(r);
        showMessage(m_window, MessageKind::Warning,
                    passFailureText(*told.failure) + zh("\n已改名 %1 个文件。").arg(r.renamed));
    } else if (r.outcome == PassResult::Outcome::Completed && !m_list.lastRefresh().ok() &&
               m_list.lastRefresh().error != FsError::Superseded)
        showMessage(m_window, MessageKind::Warning,
                    folderFailureText(m_list.Path(), m_list.lastRefresh()));
    else if (!r.unusual.empty())
        showMessage(m_window, MessageKind::Information, unusualText(told.unusual));
    if (askWhenTaken)
        m_taken.reportSkipped(m_window);
    return r;
}

void skipTakenNames(RenameTool& tool) {
    if (!tool.wantsNewName)
        tool.skipTaken = [](const std::u32string&, const std::u32string&) { return true; };
}

} // namespace nw::app
