#include "platform/program_folder.h"

#include "platform/file_system.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace nw {

std::string programExecutable() {
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0)
        return "/";
    return std::string(buf.data(), static_cast<std::size_t>(n));
}

std::string programFolder() { return parentFolder(programExecutable()); }

} // namespace nw
