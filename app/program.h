#pragma once
// The program as main runs it: the application, its appearance, the window
// over the real file system in the program's own folder.
#include <functional>

class QWidget;

namespace nw::app {

// beforeShow sees the window just before it is first shown.
int runNamewright(int& argc, char** argv, const std::function<void(QWidget&)>& beforeShow = {});

} // namespace nw::app
