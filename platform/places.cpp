#include "platform/places.h"

#include "platform/file_system.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nw {

std::string workingFolder() {
    std::vector<char> buf(PATH_MAX + 1);
    return ::getcwd(buf.data(), buf.size()) ? std::string(buf.data()) : std::string("/");
}

std::string folderOfPath(const std::string& path) {
    const std::string absolute =
        !path.empty() && path[0] == '/' ? path : joinPath(workingFolder(), path);
    struct stat st {};
    if (::stat(absolute.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return normalizeFolder(absolute);
    return parentFolder(absolute);
}

} // namespace nw
