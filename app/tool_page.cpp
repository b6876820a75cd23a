#include "app/tool_page.h"

#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/user_messages.h"

namespace nw::app {

PassResult ToolPage::runPass(const RenameTool& tool) {
    PassResult r = RunRenamePass(m_ctx.list, m_ctx.fs, tool);
    if (r.failure)
        showMessage(window(), MessageKind::Warning, passFailureText(*r.failure));
    else if (r.outcome == PassResult::Outcome::Completed && !m_ctx.list.lastRefresh().ok())
        showMessage(window(), MessageKind::Warning,
                    folderFailureText(m_ctx.list.Path(), m_ctx.list.lastRefresh()));
    return r;
}

} // namespace nw::app
