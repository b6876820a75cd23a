#include "platform/places.h"

#include "platform/file_system.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace nw {

std::string workingFolder() {
    std::vector<char> buf(PATH_MAX + 1);
    return ::getcwd(buf.data(), buf.size()) ? std::string(buf.data()) : std::string("/");
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir == '/')
        return pw->pw_dir;
    return "/";
}

std::string expandHome(const std::string& path) {
    if (path == "~")
        return homeFolder();
    if (path.rfind("~/", 0) == 0)
        return joinPath(homeFolder(), path.substr(2));
    return path;
}

} // namespace nw
