#include "app/tool_page.h"

#include "app/pass_runner.h"

namespace nw::app {

PassResult ToolPage::runPass(const RenameTool& tool) {
    return runPassOverList(window(), m_ctx.list, m_ctx.fs, tool);
}

} // namespace nw::app
