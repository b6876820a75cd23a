#include "app/tool_page.h"

#include "app/pass_runner.h"
#include "app/user_messages.h"

namespace nw::app {

PassResult ToolPage::runButton(QPushButton* button) {
    const ToolPlan real = plan(button, false);
    if (!real.make) {
        if (!real.refusal.isEmpty())
            showMessage(window(), MessageKind::Warning, real.refusal);
        return guardedPass();
    }
    return m_ctx.runner.run(real.make(m_ctx.fs), plan(button, true).make);
}

} // namespace nw::app
