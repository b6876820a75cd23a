#pragma once
// Where the program is asked to look: the working folder, and the folder a
// path given to it (dropped, typed, passed) stands for.
#include <string>

namespace nw {

// The process's working folder, or "/" where it cannot be told (removed).
std::string workingFolder();

// The user's home folder: $HOME, else the password database's, else "/".
std::string homeFolder();

// "~" and "~/…" as the home folder and paths in it; any other path as it is.
std::string expandHome(const std::string& path);

// A folder stands for itself, anything else for the folder holding it. A
// relative path is taken from the working folder.
std::string folderOfPath(const std::string& path);

} // namespace nw
