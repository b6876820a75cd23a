#pragma once
// What the command line asks for, read before any window or display exists,
// so that --help and --version answer on a console without a desktop.
#include <cstdio>
#include <string>
#include <vector>

namespace nw::app {

struct StartRequest {
    bool run = true; // false: exit at once with exitCode
    int exitCode = 0;
    std::string path; // the folder or file to open, absolute; empty for none
    // Further files given with it (a file manager's selection), absolute:
    // selected with it where they share its folder.
    std::vector<std::string> alsoGiven = {};
};

// args: argv without the program's name. A folder, a file (its folder opens
// with it selected) or a file:// URL; none: the user's home folder. Help and
// the version go to out, mistakes to err, in Chinese; workingFolder resolves
// a relative path.
StartRequest readCommandLine(const std::vector<std::string>& args, const std::string& workingFolder,
                             std::FILE* out, std::FILE* err);

} // namespace nw::app
