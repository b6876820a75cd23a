#pragma once
// Every rename pass the window starts goes through here: the pass over File1,
// then the one message that says where it stopped, if it did.
#include "core/rename_pass.h"

class QWidget;

namespace nw::app {

class FileListBox;

PassResult runPassOverList(QWidget* window, FileListBox& list, FileSystem& fs,
                           const RenameTool& tool);

} // namespace nw::app
