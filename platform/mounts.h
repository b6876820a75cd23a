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

// Tells when the system's mount table changes: its descriptor polls as an
// exceptional condition (POLLPRI) after every mount and unmount, until
// consume() has read the table again.
class MountWatcher {
public:
    MountWatcher();
    ~MountWatcher();
    MountWatcher(const MountWatcher&) = delete;
    MountWatcher& operator=(const MountWatcher&) = delete;

    int fd() const { return m_fd; } // -1 where the table cannot be watched
    void consume();

private:
    int m_fd = -1;
};

// The type of the file system mounted as this device ("ext4",
// "fuse.fusefat"), from the lines of /proc/self/mountinfo; empty where none.
std::string mountTypeFrom(const std::string& mountinfo, unsigned major, unsigned minor);
std::string mountTypeOf(unsigned major, unsigned minor);

} // namespace nw
