#include "app/history_window.h"
#include "app/texts.h"

#include "app/answering.h"
#include "app/failure_text.h"
#include "app/pass_runner.h"
#include "app/qt_text.h"
#include "core/undo.h"
#include "platform/history.h"
#include "platform/name_codec.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace nw::app {

HistoryWindow::HistoryWindow(PassRunner& runner, QWidget* parent)
    : QDialog(parent), m_runner(runner) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(zh("改名历史"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 480);
    lstPasses = new QListWidget(this);
    lstPasses->setObjectName(QStringLiteral("lstPasses"));
    lstPasses->setAccessibleName(zh("改名历史"));
    lblUndoSummary = new QLabel(zh("选择一次改名，这里会列出撤销它会怎样改回每个文件。"), this);
    lblUndoSummary->setObjectName(QStringLiteral("lblUndoSummary"));
    lblUndoSummary->setWordWrap(true);
    lstUndoPreview = new QTreeWidget(this);
    lstUndoPreview->setObjectName(QStringLiteral("lstUndoPreview"));
    lstUndoPreview->setAccessibleName(zh("撤销预览"));
    lstUndoPreview->setRootIsDecorated(false);
    lstUndoPreview->setUniformRowHeights(true);
    lstUndoPreview->setHeaderLabels({zh("现在的名字"), zh("撤销后")});
    lstUndoPreview->header()->setSectionResizeMode(QHeaderView::Stretch);
    auto* buttons = new QDialogButtonBox(this);
    cmdUndo = buttons->addButton(zh("按此撤销"), QDialogButtonBox::ActionRole);
    cmdUndo->setObjectName(QStringLiteral("cmdUndoPass"));
    QPushButton* close = buttons->addButton(zh("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdCloseHistory"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstPasses, 2);
    layout->addWidget(lblUndoSummary);
    layout->addWidget(lstUndoPreview, 3);
    layout->addWidget(buttons);
    connect(cmdUndo, &QPushButton::clicked, this, &HistoryWindow::undoChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstPasses, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        showUndoOf(item && (item->flags() & Qt::ItemIsEnabled) ? item->data(Qt::UserRole).toString()
                                                               : QString());
    });
    refresh();
}

void HistoryWindow::refresh() {
    lstPasses->clear();
    const QDate today = QDate::currentDate();
    for (const HistoryRecord& r : readHistory(m_runner.historyFolder()).records) {
        const QDateTime at = QDateTime::fromSecsSinceEpoch(r.time);
        const QString when = at.date() == today ? at.toString(QStringLiteral("HH:mm"))
                                                : at.toString(QStringLiteral("MM-dd HH:mm"));
        QString text = zh("%1  %2  %L3 个文件  %4")
                           .arg(when, QString::fromStdString(r.tool))
                           .arg(r.count)
                           .arg(namedPath(r.folder));
        QString why;
        if (r.undo)
            why = zh("（撤销）");
        else if (!m_runner.fileSystem().folderId(r.folder))
            why = zh("（文件夹已不在，或它的驱动器没有连接）");
        auto* item = new QListWidgetItem(text + why, lstPasses);
        item->setData(Qt::UserRole, QString::fromStdString(r.name));
        if (!why.isEmpty())
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
    lstPasses->setCurrentRow(-1);
    showUndoOf({});
}

void HistoryWindow::choose(const std::string& record) {
    const QString name = QString::fromStdString(record);
    for (int i = 0; i < lstPasses->count(); ++i)
        if (lstPasses->item(i)->data(Qt::UserRole).toString() == name)
            lstPasses->setCurrentRow(i);
}

void HistoryWindow::showUndoOf(const QString& record) {
    lstUndoPreview->clear();
    cmdUndo->setEnabled(false);
    if (record.isEmpty()) {
        lblUndoSummary->setText(zh("选择一次改名，这里会列出撤销它会怎样改回每个文件。"));
        return;
    }
    // Each file as undo would leave it, newest rename first, as undo goes;
    // worked out while the window answers (a stat or two per file).
    std::optional<HistoryRecord> r;
    std::vector<UndoStep> steps;
    runAnswering([&] {
        r = readHistoryFile(m_runner.historyFolder(), record.toStdString());
        if (r)
            steps = previewUndo(passOfRecord(*r), m_runner.fileSystem());
    });
    // Another pass chosen meanwhile has shown its own.
    const QListWidgetItem* now = lstPasses->currentItem();
    if (!now || now->data(Qt::UserRole).toString() != record)
        return;
    if (!r) {
        lblUndoSummary->setText(zh("这条记录已不在或已损坏，不会按它做任何改动。"));
        return;
    }
    QList<QTreeWidgetItem*> rows;
    std::size_t ready = 0;
    for (const UndoStep& s : steps) {
        QString after;
        switch (s.state) {
        case UndoStep::Ready:
            after = shownName(readName(s.oldName).text);
            ++ready;
            break;
        case UndoStep::NotThatFile: after = zh("不会撤销：已不是这次改名后的文件"); break;
        case UndoStep::OldNameTaken: after = zh("不会撤销：原名已被占用"); break;
        }
        rows << new QTreeWidgetItem(QStringList{shownName(readName(s.newName).text), after});
    }
    lstUndoPreview->addTopLevelItems(rows);
    lblUndoSummary->setText(
        zh("撤销后 %L1 个文件会改回原名，%L2 个不会。").arg(ready).arg(steps.size() - ready));
    cmdUndo->setEnabled(ready > 0);
}

void HistoryWindow::undoChosen() {
    QListWidgetItem* item = lstPasses->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    const std::string record = item->data(Qt::UserRole).toString().toStdString();
    m_runner.undoRecord(record);
    refresh();
    choose(record); // what is left of it, if anything
}

} // namespace nw::app
