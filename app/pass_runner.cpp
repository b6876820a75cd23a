#include "app/pass_runner.h"

#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/user_messages.h"

namespace nw::app {

PassResult runPassOverList(QWidget* window, FileListBox& list, FileSystem& fs,
                           const RenameTool& tool) {
    PassResult r = RunRenamePass(list, fs, tool);
    if (r.failure)
        showMessage(window, MessageKind::Warning, passFailureText(*r.failure));
    else if (r.outcome == PassResult::Outcome::Completed && !list.lastRefresh().ok())
        showMessage(window, MessageKind::Warning,
                    folderFailureText(list.Path(), list.lastRefresh()));
    return r;
}

} // namespace nw::app
