#include "app/tool_page.h"

#include "app/pass_runner.h"
#include "app/user_messages.h"

namespace nw::app {

PassResult ToolPage::runPlan(const ToolPlan& plan) {
    if (!plan.make) {
        if (!plan.refusal.isEmpty())
            showMessage(window(), MessageKind::Warning, plan.refusal);
        return PassResult{PassResult::Outcome::Guarded, 0, std::nullopt, {}, {}};
    }
    return m_ctx.runner.run(plan.make(m_ctx.fs));
}

} // namespace nw::app
