#include "platform/mounts.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sstream>
#include <unistd.h>

namespace nw {
namespace {

// mountinfo escapes space, tab, newline and backslash as \ooo.
std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            const std::string oct = s.substr(i + 1, 3);
            if (std::all_of(oct.begin(), oct.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out.push_back(static_cast<char>(std::stoi(oct, nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

bool under(const std::string& path, const std::string& prefix) {
    return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
           path[prefix.size()] == '/';
}

bool pseudo(const std::string& type) {
    static const std::set<std::string> types = {
        "proc",     "sysfs",       "cgroup",         "cgroup2",    "devpts",     "devtmpfs",
        "tmpfs",    "mqueue",      "debugfs",        "tracefs",    "securityfs", "pstore",
        "bpf",      "autofs",      "fusectl",        "configfs",   "hugetlbfs",  "binfmt_misc",
        "efivarfs", "ramfs",       "nsfs",           "rpc_pipefs", "selinuxfs",  "overlay",
        "squashfs", "fuse.portal", "fuse.gvfsd-fuse"};
    return types.count(type) != 0;
}

} // namespace

std::vector<std::string> browsableMountsFrom(const std::string& mountinfo) {
    std::vector<std::string> out{"/"};
    std::istringstream in(mountinfo);
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        std::istringstream fields(line);
        std::string id, parent, dev, root, point;
        fields >> id >> parent >> dev >> root >> point;
        std::string tok, type, source;
        while (fields >> tok && tok != "-") {
        }
        fields >> type >> source;
        point = unescape(point);
        if (point.empty() || point == "/")
            continue;
        const bool mediaPlace = point == "/home" || under(point, "/media") ||
                                under(point, "/run/media") || under(point, "/mnt");
        const bool blockDevice = source.rfind("/dev/", 0) == 0;
        if (pseudo(type))
            continue;
        const bool systemPlace =
            under(point, "/proc") || under(point, "/sys") || under(point, "/dev") ||
            (under(point, "/run") && !under(point, "/run/media")) || under(point, "/boot") ||
            point == "/boot" || under(point, "/snap") || under(point, "/var");
        if (mediaPlace || (blockDevice && !systemPlace))
            if (std::find(out.begin(), out.end(), point) == out.end())
                out.push_back(point);
    }
    std::sort(out.begin() + 1, out.end());
    return out;
}

std::vector<std::string> browsableMounts() {
    std::ifstream f("/proc/self/mountinfo");
    std::stringstream ss;
    ss << f.rdbuf();
    return browsableMountsFrom(ss.str());
}

std::string mountTypeFrom(const std::string& mountinfo, unsigned major, unsigned minor) {
    const std::string device = std::to_string(major) + ":" + std::to_string(minor);
    std::istringstream in(mountinfo);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, dev, tok, type;
        fields >> id >> parent >> dev;
        if (dev != device)
            continue;
        while (fields >> tok && tok != "-") {
        }
        fields >> type;
        return type;
    }
    return {};
}

std::string mountTypeOf(unsigned major, unsigned minor) {
    std::ifstream f("/proc/self/mountinfo");
    std::stringstream ss;
    ss << f.rdbuf();
    return mountTypeFrom(ss.str(), major, minor);
}

std::string mountHolding(const std::vector<std::string>& mounts, const std::string& path) {
    std::string best = "/";
    for (const auto& m : mounts)
        if (m != "/" && m.size() > best.size() && (m == path || under(path, m)))
            best = m;
    return best;
}

MountWatcher::MountWatcher() {
    m_fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    consume();
}

MountWatcher::~MountWatcher() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void MountWatcher::consume() {
    if (m_fd < 0)
        return;
    // Reading the table to its end is what re-arms the notification.
    std::array<char, 1 << 12> buf;
    ::lseek(m_fd, 0, SEEK_SET);
    while (::read(m_fd, buf.data(), buf.size()) > 0) {
    }
}

} // namespace nw
