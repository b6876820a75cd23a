#include "app/file_list_menu.h"
#include "app/texts.h"

#include "app/history_window.h"

#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/pass_runner.h"
#include "app/tool_page.h"
#include "app/user_messages.h"
#include "core/legacy_names.h"

#include <QActionGroup>
#include <QMenu>

namespace nw::app {

FileListMenu::FileListMenu(FileListBox& list, PassRunner& runner, QWidget* window,
                           std::function<ToolPage*()> pageInFront, PreviewOpener openPreview,
                           ToolPreviewOpener openToolPreview)
    : QObject(window), m_list(list), m_runner(runner), m_pageInFront(std::move(pageInFront)),
      m_openPreview(std::move(openPreview)), m_openToolPreview(std::move(openToolPreview)) {
    menu = new QMenu(window);
    menu->setObjectName(QStringLiteral("File1Menu"));
    mnuPreviewTools = new QMenu(zh("预览改名结果…"), menu);
    mnuPreviewTools->setObjectName(QStringLiteral("mnuPreviewTools"));
    mnuPreview = menu->addMenu(mnuPreviewTools);
    mnuPreview->setObjectName(QStringLiteral("mnuPreview"));
    connect(mnuPreview, &QAction::triggered, this, [this] {
        ToolPage* page = m_pageInFront();
        if (page && page->applyButtons().size() == 1)
            m_openPreview(*page, *page->applyButtons().front().first);
    });
    mnuUndo = menu->addAction(zh("撤销上次改名"));
    mnuUndo->setObjectName(QStringLiteral("mnuUndo"));
    // The window's Ctrl+Z, shown beside the item (the key is the window's own
    // shortcut, which works where no text box takes it).
    mnuUndo->setShortcut(QKeySequence::Undo);
    mnuUndo->setShortcutVisibleInContextMenu(true);
    connect(mnuUndo, &QAction::triggered, this, &FileListMenu::mnuUndo_Click);
    mnuHistory = menu->addAction(zh("改名历史…"));
    mnuHistory->setObjectName(QStringLiteral("mnuHistory"));
    connect(mnuHistory, &QAction::triggered, this, &FileListMenu::mnuHistory_Click);
    menu->addSeparator();
    mnuToUtf8 = menu->addAction(zh("文件名转为UTF-8"));
    mnuToUtf8->setObjectName(QStringLiteral("mnuToUtf8"));
    connect(mnuToUtf8, &QAction::triggered, this, &FileListMenu::mnuToUtf8_Click);
    buildCodePageMenu();
    buildSortMenu();
    buildTreeItems();
    connect(menu, &QMenu::aboutToShow, this, &FileListMenu::update);

    m_list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_list, &QWidget::customContextMenuRequested, this, &FileListMenu::popup);
}

FileListMenu::~FileListMenu() = default;

void FileListMenu::buildCodePageMenu() {
    mnuCodePage = menu->addMenu(zh("文件名编码"));
    mnuCodePage->setObjectName(QStringLiteral("mnuCodePage"));
    auto* group = new QActionGroup(mnuCodePage);
    auto item = [&](const QString& text, const char* name) {
        QAction* a = mnuCodePage->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        group->addAction(a);
        return a;
    };
    mnuCodePageAuto = item(zh("自动判断"), "mnuCodePageAuto");
    connect(mnuCodePageAuto, &QAction::triggered, this, [this] { tell(m_list.judgeCodePage()); });
    mnuCodePage->addSeparator();
    static constexpr std::pair<NameEncoding, const char*> pages[] = {
        {NameEncoding::Gbk, "（简体中文）"},        {NameEncoding::Big5, "（繁体中文）"},
        {NameEncoding::EucTw, "（繁体中文）"},      {NameEncoding::ShiftJis, "（日文）"},
        {NameEncoding::EucJp, "（日文）"},          {NameEncoding::EucKr, "（韩文）"},
        {NameEncoding::Windows1252, "（西欧语言）"}};
    for (const auto& [e, language] : pages) {
        const QString label = QLatin1String(encodingLabel(e)) + zh(language);
        QAction* a = item(label, "mnuCodePageItem");
        mnuCodePages.emplace_back(a, e);
        connect(a, &QAction::triggered, this, [this, e = e] { tell(m_list.chooseCodePage(e)); });
    }
    mnuCodePageNone = item(zh("不解码"), "mnuCodePageNone");
    connect(mnuCodePageNone, &QAction::triggered, this,
            [this] { tell(m_list.chooseCodePage(std::nullopt)); });
}

void FileListMenu::buildSortMenu() {
    mnuSort = menu->addMenu(zh("排序方式"));
    mnuSort->setObjectName(QStringLiteral("mnuSort"));
    auto* group = new QActionGroup(mnuSort);
    static constexpr std::pair<SortKey, const char*> keys[] = {
        {SortKey::Natural, "名称（自然顺序）"},
        {SortKey::Pinyin, "名称（拼音）"},
        {SortKey::Modified, "修改时间"},
        {SortKey::Size, "文件大小"},
        {SortKey::Taken, "拍摄日期"}};
    for (const auto& [key, text] : keys) {
        QAction* a = mnuSort->addAction(zh(text));
        a->setObjectName(QStringLiteral("mnuSort%1").arg(static_cast<int>(key)));
        a->setCheckable(true);
        group->addAction(a);
        mnuSortKeys.emplace_back(a, key);
        connect(a, &QAction::triggered, this, [this, key = key] {
            tell(m_list.setSortOrder({key, m_list.sortOrder().reversed}));
        });
    }
    mnuSort->addSeparator();
    mnuSortReversed = mnuSort->addAction(zh("倒序"));
    mnuSortReversed->setObjectName(QStringLiteral("mnuSortReversed"));
    mnuSortReversed->setCheckable(true);
    connect(mnuSortReversed, &QAction::triggered, this, [this](bool on) {
        tell(m_list.setSortOrder({m_list.sortOrder().key, on}));
    });
}

void FileListMenu::buildTreeItems() {
    // A whole tree is the user's choice of the moment: off whenever the
    // window opens, never remembered.
    menu->addSeparator();
    auto item = [&](const QString& text, const char* name) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this] {
            tell(m_list.setTreeOptions({mnuSubfolders->isChecked(), mnuFolders->isChecked()}));
        });
        return a;
    };
    mnuSubfolders = item(zh("包括子文件夹"), "mnuSubfolders");
    mnuFolders = item(zh("包括文件夹"), "mnuFolders");
}

void FileListMenu::tell(const FsStatus& st) {
    if (!st.ok() && st.error != FsError::Superseded)
        showMessage(m_list.window(), MessageKind::Warning, folderFailureText(m_list.Path(), st));
}

void FileListMenu::update() {
    mnuUndo->setEnabled(m_runner.canUndo());
    // The reading in force: the user's choice for this folder, else the
    // judged one, which the automatic item names.
    const auto current = m_list.codePage();
    const QString judged = current ? QLatin1String(encodingLabel(*current)) : QString();
    mnuCodePageAuto->setText(!current || m_list.codePageChosen() ? zh("自动判断")
                             : m_list.codePageClear()
                                 ? zh("自动判断（%1）").arg(judged)
                                 : zh("自动判断（无法确定，可能是 %1）").arg(judged));
    mnuCodePageAuto->setChecked(!m_list.codePageChosen());
    for (const auto& [a, key] : mnuSortKeys)
        a->setChecked(m_list.sortOrder().key == key);
    mnuSortReversed->setChecked(m_list.sortOrder().reversed);
    mnuSubfolders->setChecked(m_list.treeOptions().subfolders);
    mnuFolders->setChecked(m_list.treeOptions().folders);
    mnuCodePageNone->setChecked(m_list.codePageChosen() && !current);
    for (const auto& [a, e] : mnuCodePages)
        a->setChecked(m_list.codePageChosen() && current == e);
    ToolPage* page = m_pageInFront();
    const auto buttons = page ? page->applyButtons() : decltype(page->applyButtons()){};
    mnuPreviewTools->clear();
    mnuPreview->setEnabled(!buttons.empty());
    // One apply button: the item opens its preview. Several (page "其它"): a
    // sub-menu names each tool.
    if (buttons.size() > 1)
        for (const auto& [button, name] : buttons) {
            QAction* a = mnuPreviewTools->addAction(name);
            QPushButton* b = button;
            connect(a, &QAction::triggered, this, [this, page, b] { m_openPreview(*page, *b); });
        }
    mnuPreview->setMenu(buttons.size() > 1 ? mnuPreviewTools : nullptr);
}

void FileListMenu::popup(const QPoint& pos) { menu->popup(m_list.viewport()->mapToGlobal(pos)); }

void FileListMenu::mnuToUtf8_Click() {
    m_openToolPreview(
        *mnuToUtf8,
        [] {
            return ToolPlan{[](FileSystem&) { return Utf8RepairTool(); }, {}};
        },
        [this] { runToUtf8(); });
}

void FileListMenu::runToUtf8() {
    RenameTool tool = Utf8RepairTool();
    tool.description = zh("文件名转为UTF-8").toStdString();
    m_runner.run(std::move(tool), [](FileSystem&) { return Utf8RepairTool(); });
}

void FileListMenu::mnuHistory_Click() { showHistory({}); }

void FileListMenu::showHistory(const std::string& record) {
    HistoryWindow* w = m_list.window()->findChild<HistoryWindow*>();
    if (w) {
        w->refresh();
        w->raise();
        w->activateWindow();
    } else {
        w = new HistoryWindow(m_runner, m_list.window());
        w->show();
    }
    if (!record.empty())
        w->choose(record);
}

void FileListMenu::offerUndoOfInterrupted(const RecoveryReport& r) {
    QString told = recoveryText(r);
    for (const RecoveryReport::Interrupted& cut : r.interrupted) {
        const std::string record = m_runner.keepInterrupted(cut);
        const QString text =
            (told.isEmpty() ? QString() : told + QStringLiteral("\n\n")) + interruptedText(cut);
        told.clear();
        if (!askYesNo(m_list.window(), text, zh("撤销这次改名"), zh("保留")))
            continue;
        if (record.empty())
            m_runner.undo(); // kept by this run only: it is the newest
        else
            showHistory(record);
    }
}

void FileListMenu::mnuUndo_Click() {
    if (m_runner.canUndo())
        m_runner.undo();
}

} // namespace nw::app
