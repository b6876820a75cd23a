#include "app/tool_page.h"
#include "app/texts.h"

#include "app/file_list_box.h"
#include "app/pass_runner.h"
#include "app/user_messages.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

namespace nw::app {

void ToolPage::changesSettings(std::initializer_list<QWidget*> controls) {
    for (QWidget* w : controls) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            connect(e, &QLineEdit::textChanged, this, &ToolPage::settingsChanged);
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            connect(b, &QAbstractButton::toggled, this, &ToolPage::settingsChanged);
        else if (auto* c = qobject_cast<QComboBox*>(w))
            connect(c, &QComboBox::currentIndexChanged, this, &ToolPage::settingsChanged);
    }
}

PassResult ToolPage::runButton(QPushButton* button) {
    if (m_ctx.runner.refusedWhileListing())
        return guardedPass();
    const ToolPlan real = plan(button, false);
    if (!real.make) {
        if (!real.refusal.isEmpty())
            showMessage(window(), MessageKind::Warning, real.refusal);
        return guardedPass();
    }
    // With nothing selected the pass only reads the folder again; the user
    // is told why nothing was renamed.
    bool any = false;
    for (int i = 0; i < m_ctx.list.ListCount() && !any; ++i)
        any = m_ctx.list.Selected(i);
    if (!any)
        showMessage(window(), MessageKind::Information, zh("请先选择要改名的文件"));
    RenameTool tool = real.make(m_ctx.fs);
    for (const auto& [b, name] : applyButtons())
        if (b == button && tool.description.empty())
            tool.description = name.toStdString();
    return m_ctx.runner.run(std::move(tool), plan(button, true).make);
}

} // namespace nw::app
