#include "app/history_window.h"

#include "app/failure_text.h"
#include "app/pass_runner.h"
#include "platform/history.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace nw::app {

HistoryWindow::HistoryWindow(PassRunner& runner, QWidget* parent)
    : QDialog(parent), m_runner(runner) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("改名历史"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(560, 320);
    lstPasses = new QListWidget(this);
    lstPasses->setObjectName(QStringLiteral("lstPasses"));
    lstPasses->setAccessibleName(QStringLiteral("改名历史"));
    auto* buttons = new QDialogButtonBox(this);
    cmdUndo = buttons->addButton(QStringLiteral("按此撤销"), QDialogButtonBox::ActionRole);
    cmdUndo->setObjectName(QStringLiteral("cmdUndoPass"));
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdCloseHistory"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstPasses);
    layout->addWidget(buttons);
    connect(cmdUndo, &QPushButton::clicked, this, &HistoryWindow::undoChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstPasses, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        cmdUndo->setEnabled(item && (item->flags() & Qt::ItemIsEnabled));
    });
    refresh();
}

void HistoryWindow::refresh() {
    lstPasses->clear();
    const QDate today = QDate::currentDate();
    for (const HistoryRecord& r : readHistory(historyFolder()).records) {
        const QDateTime at = QDateTime::fromSecsSinceEpoch(r.time);
        const QString when = at.date() == today ? at.toString(QStringLiteral("HH:mm"))
                                                : at.toString(QStringLiteral("MM-dd HH:mm"));
        QString text = QStringLiteral("%1  %2  %L3 个文件  %4")
                           .arg(when, QString::fromStdString(r.tool))
                           .arg(r.renames.size())
                           .arg(namedPath(r.folder));
        QString why;
        if (r.undo)
            why = QStringLiteral("（撤销）");
        else if (!m_runner.history().holds(r.name))
            why = QStringLiteral("（已撤销）");
        else if (!m_runner.fileSystem().folderId(r.folder))
            why = QStringLiteral("（文件夹已不在，或它的驱动器没有连接）");
        auto* item = new QListWidgetItem(text + why, lstPasses);
        item->setData(Qt::UserRole, QString::fromStdString(r.name));
        if (!why.isEmpty())
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
    lstPasses->setCurrentRow(-1);
    cmdUndo->setEnabled(false);
}

void HistoryWindow::undoChosen() {
    QListWidgetItem* item = lstPasses->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    m_runner.undoRecord(item->data(Qt::UserRole).toString().toStdString());
    refresh();
}

} // namespace nw::app
