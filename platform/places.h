#pragma once
// Where the program is asked to look: the working folder, and the folder a
// path given to it (dropped, typed, passed) stands for.
#include <string>

namespace nw {

// The process's working folder, or "/" where it cannot be told (removed).
std::string workingFolder();

// A folder stands for itself, anything else for the folder holding it. A
// relative path is taken from the working folder.
std::string folderOfPath(const std::string& path);

} // namespace nw
