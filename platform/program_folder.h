#pragma once
#include <string>

namespace nw {

// The folder of the running executable, links resolved.
std::string programFolder();

} // namespace nw
