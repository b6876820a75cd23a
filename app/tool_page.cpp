#include "app/tool_page.h"

#include "app/pass_runner.h"

namespace nw::app {

PassResult ToolPage::runPass(const RenameTool& tool) { return m_ctx.runner.run(tool); }

} // namespace nw::app
