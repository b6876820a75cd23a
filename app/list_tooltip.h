#pragma once
// The file list's tooltip: the whole name of the entry under the pointer where
// the list cuts it, and why a grey name is grey.
#include <QString>

namespace nw::app {

class FileListBox;

// The tooltip for the pointer y twips below the list's top (as a mouse move
// reports it): empty where no entry is there, or its name fits and is UTF-8.
QString listItemToolTip(FileListBox& list, float y);

} // namespace nw::app
