#include "app/file_list_menu.h"

#include "app/file_list_box.h"
#include "app/pass_runner.h"

#include <QMenu>

namespace nw::app {

FileListMenu::FileListMenu(FileListBox& list, PassRunner& runner, QWidget* window)
    : QObject(window), m_list(list), m_runner(runner) {
    menu = new QMenu(window);
    menu->setObjectName(QStringLiteral("File1Menu"));
    mnuToUtf8 = menu->addAction(QStringLiteral("文件名转为UTF-8"));
    mnuToUtf8->setObjectName(QStringLiteral("mnuToUtf8"));
    connect(mnuToUtf8, &QAction::triggered, this, &FileListMenu::mnuToUtf8_Click);

    m_list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_list, &QWidget::customContextMenuRequested, this, &FileListMenu::popup);
}

FileListMenu::~FileListMenu() = default;

void FileListMenu::popup(const QPoint& pos) {
    menu->popup(m_list.viewport()->mapToGlobal(pos));
}

void FileListMenu::mnuToUtf8_Click() {
    RenameTool tool;
    tool.onlyEncoding = NameEncoding::Gbk;
    tool.writeAs = NameEncoding::Utf8;
    tool.transform = [](const std::u32string& name) { return TransformResult::of(name); };
    m_runner.run(tool);
}

} // namespace nw::app
