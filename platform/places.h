#pragma once
// Where the program looks from: the working folder and the home folder.
#include <string>

namespace nw {

// The process's working folder, or "/" where it cannot be told (removed).
std::string workingFolder();

// The user's home folder: $HOME, else the password database's, else "/".
std::string homeFolder();

// "~" and "~/…" as the home folder and paths in it; any other path as it is.
std::string expandHome(const std::string& path);

} // namespace nw
