#pragma once
#include <string>

namespace nw {

// The running executable's path and folder, links resolved.
std::string programExecutable();
std::string programFolder();

} // namespace nw
