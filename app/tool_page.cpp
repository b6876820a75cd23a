#include "app/tool_page.h"

#include "app/file_list_box.h"
#include "app/pass_runner.h"
#include "app/user_messages.h"

namespace nw::app {

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
        showMessage(window(), MessageKind::Information, QStringLiteral("请先选择要改名的文件"));
    return m_ctx.runner.run(real.make(m_ctx.fs), plan(button, true).make);
}

} // namespace nw::app
