#include "app/file_list_menu.h"

#include "app/file_list_box.h"
#include "app/pass_runner.h"
#include "app/tool_page.h"

#include <QMenu>

namespace nw::app {

FileListMenu::FileListMenu(FileListBox& list, PassRunner& runner, QWidget* window,
                           std::function<ToolPage*()> pageInFront, PreviewOpener openPreview)
    : QObject(window), m_list(list), m_runner(runner), m_pageInFront(std::move(pageInFront)),
      m_openPreview(std::move(openPreview)) {
    menu = new QMenu(window);
    menu->setObjectName(QStringLiteral("File1Menu"));
    mnuPreviewTools = new QMenu(QStringLiteral("预览改名结果…"), menu);
    mnuPreviewTools->setObjectName(QStringLiteral("mnuPreviewTools"));
    mnuPreview = menu->addMenu(mnuPreviewTools);
    mnuPreview->setObjectName(QStringLiteral("mnuPreview"));
    connect(mnuPreview, &QAction::triggered, this, [this] {
        ToolPage* page = m_pageInFront();
        if (page && page->applyButtons().size() == 1)
            m_openPreview(*page, *page->applyButtons().front().first);
    });
    mnuUndo = menu->addAction(QStringLiteral("撤销上次改名"));
    mnuUndo->setObjectName(QStringLiteral("mnuUndo"));
    connect(mnuUndo, &QAction::triggered, this, &FileListMenu::mnuUndo_Click);
    menu->addSeparator();
    mnuToUtf8 = menu->addAction(QStringLiteral("文件名转为UTF-8"));
    mnuToUtf8->setObjectName(QStringLiteral("mnuToUtf8"));
    connect(mnuToUtf8, &QAction::triggered, this, &FileListMenu::mnuToUtf8_Click);
    connect(menu, &QMenu::aboutToShow, this, &FileListMenu::update);

    m_list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_list, &QWidget::customContextMenuRequested, this, &FileListMenu::popup);
}

FileListMenu::~FileListMenu() = default;

void FileListMenu::update() {
    mnuUndo->setEnabled(m_runner.canUndo());
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
    RenameTool tool;
    tool.onlyEncoding = NameEncoding::Gbk;
    tool.transform = [](int, const std::u32string& name) {
        TransformResult t = TransformResult::of(name);
        t.encoding = NameEncoding::Utf8;
        return t;
    };
    m_runner.run(tool, [tool](FileSystem&) { return tool; });
}

void FileListMenu::mnuUndo_Click() {
    if (m_runner.canUndo())
        m_runner.undo();
}

} // namespace nw::app
