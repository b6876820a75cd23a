#pragma once
#include <string>
#include <vector>

namespace nw {

// The mounted file systems a user would browse, from /proc/self/mountinfo:
// "/" first, then /home and removable media, never pseudo file systems.
std::vector<std::string> browsableMounts();

// The same filter over the text of a mountinfo file (for tests).
std::vector<std::string> browsableMountsFrom(const std::string& mountinfo);

// The mount of the list that holds a path: the longest mount point that is a
// prefix of it, compared by whole path components. "/" when none is.
std::string mountHolding(const std::vector<std::string>& mounts, const std::string& path);

} // namespace nw
