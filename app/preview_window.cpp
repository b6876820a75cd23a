#include "app/preview_window.h"
#include "app/texts.h"

#include "app/contrast.h"
#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/pass_runner.h"
#include "app/qt_text.h"
#include "app/tool_page.h"
#include "app/user_messages.h"
#include "core/tree_pass.h"

#include <QAbstractButton>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace nw::app {
namespace {

// Up to this many rows, a preview opens with every row shown.
constexpr int kAllRowsShownUpTo = 100;

QString resultText(const PreviewRow& r, const PassResult& pass) {
    switch (r.kind) {
    case PreviewKind::Rename:
        // The same characters, written anew: the code page is what changes.
        if (r.oldName == r.newName && r.oldEncoding != NameEncoding::Utf8)
            return zh("改名：由%1转为UTF-8").arg(QLatin1String(encodingLabel(r.oldEncoding)));
        return r.note.empty() ? zh("改名") : zh("改名（%1）").arg(toQt(r.note));
    case PreviewKind::Unchanged: return zh("不变：新文件名与原文件名相同");
    case PreviewKind::Left: return leftText(r.left, r.bytes, r.note);
    case PreviewKind::Exists: return zh("跳过：") + existsText(shownName(r.newName));
    case PreviewKind::Stop:
        return zh("在此停止：") + (pass.failure ? passReasonText(*pass.failure) : QString());
    case PreviewKind::NotReached: return zh("不会处理：改名已在前面停止");
    }
    return {};
}

} // namespace

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

const PreviewRow& PreviewModel::row(int r) const {
    return m_preview.rows[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(r)])];
}

void PreviewModel::pick() {
    m_shown.clear();
    for (std::size_t i = 0; i < m_preview.rows.size(); ++i) {
        const PreviewRow& r = m_preview.rows[i];
        const bool changes = r.kind == PreviewKind::Rename || r.kind == PreviewKind::Exists ||
                             r.kind == PreviewKind::Stop ||
                             (r.kind == PreviewKind::Left && r.left != LeftReason::Tool);
        if (changes || !m_changedOnly)
            m_shown.push_back(static_cast<int>(i));
    }
}

void PreviewModel::setChangedOnly(bool on) {
    beginResetModel();
    m_changedOnly = on;
    pick();
    endResetModel();
}

int PreviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

namespace {

// A folder with a trailing "/", as the list shows it.
QString inFolder(const PreviewRow& r, const QString& name) {
    const QString own = r.isFolder ? name + u'/' : name;
    return r.folder.empty() ? own : shownName(r.folder) + u'/' + own;
}

} // namespace

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_shown.size())
        return {};
    const PreviewRow& r = row(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        // In a tree, each name with its folder below the list's.
        case 0: return inFolder(r, shownName(r.oldName));
        case 1: return r.newName.empty() ? QString() : inFolder(r, shownName(r.newName));
        default: return resultText(r, m_preview.pass);
        }
    }
    // Conflicts and the stopping entry stand out; what is never reached is
    // greyed.
    if (role == Qt::BackgroundRole) {
        if (r.kind == PreviewKind::Exists)
            return QBrush(QColor(0xFF, 0xE4, 0xB5));
        if (r.kind == PreviewKind::Stop)
            return QBrush(QColor(0xFF, 0xC0, 0xC0));
    }
    // On those light grounds, text dark enough whatever the palette.
    if (role == Qt::ForegroundRole && r.kind == PreviewKind::Stop)
        return QBrush(QColor(0x80, 0x00, 0x00));
    if (role == Qt::ForegroundRole && r.kind == PreviewKind::Exists)
        return QBrush(
            readableOn(QApplication::palette().color(QPalette::Text), QColor(0xFF, 0xE4, 0xB5)));
    if (role == Qt::ForegroundRole &&
        (r.kind == PreviewKind::NotReached || r.kind == PreviewKind::Left ||
         r.kind == PreviewKind::Unchanged))
        return QBrush(legacyNameColour());
    return {};
}

QVariant PreviewModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, o, role);
    switch (section) {
    case 0: return zh("原文件名");
    case 1: return zh("新文件名");
    default: return zh("结果");
    }
}

void PreviewModel::setPreview(Preview p) {
    beginResetModel();
    m_preview = std::move(p);
    pick();
    endResetModel();
}

PreviewWindow::PreviewWindow(ToolPage& page, QPushButton& button, FileListBox& list, FileSystem& fs,
                             PassRunner& runner, QWidget* parent)
    : PreviewWindow(
          button, [&page, &button] { return page.plan(&button, true); },
          [&button] { button.click(); }, list, fs, runner, parent) {
    // Whatever the page's settings do, the preview follows.
    connect(&page, &ToolPage::settingsChanged, this, &PreviewWindow::follow);
}

PreviewWindow::PreviewWindow(QObject& opener, std::function<ToolPlan()> plan,
                             std::function<void()> apply, FileListBox& list, FileSystem& fs,
                             PassRunner& runner, QWidget* parent)
    // A dialog's window: Qt tells an X window manager which window it
    // belongs to (WM_TRANSIENT_FOR) only for dialogs and tools.
    : QWidget(parent, Qt::Dialog), m_opener(opener), m_plan(std::move(plan)),
      m_apply(std::move(apply)), m_list(list), m_fs(fs), m_runner(runner) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(zh("改名预览"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 420);

    model = new PreviewModel(this);
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("tblPreview"));
    table->setModel(model);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(0, 200);
    table->setColumnWidth(1, 200);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setTextFormat(Qt::PlainText);
    cmdApply = new QPushButton(zh("按此改名"), this);
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    cmdClose = new QPushButton(zh("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    chkChangedOnly = new QCheckBox(zh("只显示有变化的文件"), this);
    chkChangedOnly->setObjectName(QStringLiteral("chkChangedOnly"));
    connect(chkChangedOnly, &QCheckBox::toggled, model, &PreviewModel::setChangedOnly);
    // Escape closes it, as any tool window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // The summary wraps rather than hold the window wide: a narrow preview
    // beside a small screen's main window still fits.
    lblSummary->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkChangedOnly);
    buttons->addWidget(lblSummary, 1);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    connect(cmdApply, &QPushButton::clicked, this, &PreviewWindow::cmdApply_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    // Whatever the selection or the list do, the preview follows.
    m_later = new QTimer(this);
    m_later->setSingleShot(true);
    m_later->setInterval(30);
    connect(m_later, &QTimer::timeout, this, &PreviewWindow::refresh);
    connect(list.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PreviewWindow::follow);
    connect(list.model(), &QAbstractItemModel::modelReset, this, &PreviewWindow::follow);
    refresh();
}

void PreviewWindow::follow() { m_later->start(); }

void PreviewWindow::refresh() {
    const ToolPlan plan = m_plan();
    if (!plan.make) {
        model->setPreview({});
        cmdApply->setEnabled(false);
        lblSummary->setText(plan.refusal.isEmpty() ? zh("按现在的设置不会改名。") : plan.refusal);
        return;
    }
    Preview p = DryRunTree(m_list, m_fs, [&](FileSystem& memory) {
        RenameTool tool = plan.make(memory);
        m_runner.protect(tool);
        skipTakenNames(tool);
        return tool;
    });
    int renamed = 0, skipped = 0;
    for (const PreviewRow& r : p.rows) {
        renamed += r.kind == PreviewKind::Rename;
        skipped += r.kind == PreviewKind::Exists;
    }
    QString summary = zh("选中 %1 个，将改名 %2 个").arg(p.rows.size()).arg(renamed);
    if (skipped)
        summary += zh("，跳过 %1 个").arg(skipped);
    if (const auto& f = p.pass.failure) // in a tree, named by its path as its row is
        summary += zh("，并在“%1”处停止").arg(shownName(withFolder(f->folder, f->oldName)));
    lblSummary->setText(summary + zh("。"));
    cmdApply->setEnabled(renamed > 0);
    // A long preview opens on what changes: the rest would bury it.
    if (!m_refreshed && static_cast<int>(p.rows.size()) > kAllRowsShownUpTo)
        chkChangedOnly->setChecked(true);
    m_refreshed = true;
    model->setPreview(std::move(p));
}

void PreviewWindow::placeBeside(QWidget& main, const QRect& settings) {
    // Transient for the main window before it is first mapped, so that every
    // window manager keeps it above the main window.
    create();
    if (windowHandle() && main.windowHandle())
        windowHandle()->setTransientParent(main.windowHandle());
    const QRect m = windowFrame(main);
    const QRect screen = main.screen() ? main.screen()->availableGeometry() : m;
    constexpr int kGap = 8; // room for the window manager's border
    QRect r(QPoint(0, 0), size());
    if (m.right() + kGap + r.width() <= screen.right())
        r.moveTopLeft({m.right() + kGap, m.top()});
    else if (m.left() - kGap - r.width() >= screen.left())
        r.moveTopLeft({m.left() - kGap - r.width(), m.top()});
    else {
        // No room beside it: over the folder and the list, narrowed where it
        // must be, never over the settings it follows.
        const int right = settings.left() - kGap;
        r.setWidth(std::max(std::min(r.width(), right - screen.left()), minimumSizeHint().width()));
        r.moveTopLeft({std::max(screen.left(), right - r.width()), m.top()});
    }
    resize(r.size());
    move(r.topLeft());
    m_placed = r;
}

void PreviewWindow::keepPlace() {
    if (m_placed.isNull())
        return;
    if (size() != m_placed.size())
        resize(m_placed.size());
    if (pos() != m_placed.topLeft())
        move(m_placed.topLeft());
}

void PreviewWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    keepPlace();
    // Once the window manager has had its say; then the user's moves hold.
    QTimer::singleShot(0, this, [this] {
        keepPlace();
        m_placed = {};
    });
}

void PreviewWindow::cmdApply_Click() {
    m_apply();
    refresh();
}

} // namespace nw::app
