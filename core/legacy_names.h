#pragma once
// Names carried over in a legacy code page, made UTF-8.
#include "core/rename_pass.h"

namespace nw {

// Renames each selected name read in a legacy code page to the same
// characters in UTF-8. A name that would pass the limit of a name's bytes in
// UTF-8 is left as it is, with its length.
RenameTool Utf8RepairTool();

} // namespace nw
