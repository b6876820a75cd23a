#include "tests/support/child_process.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nw::test {
namespace {

bool writeAll(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

} // namespace

int inChild(const std::function<int()>& fn) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(fn());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool runShell(const std::string& cmd, std::string* out) {
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen((cmd + " 2>&1").c_str(), "r"), ::pclose);
    if (!p)
        return false;
    std::string text;
    std::array<char, 256> buf{};
    while (std::fgets(buf.data(), buf.size(), p.get()))
        text += buf.data();
    if (out)
        *out = text;
    return ::pclose(p.release()) == 0;
}

bool mountPrivateTmpfs(const std::string& folder, const std::string& options) {
    const std::string uid = std::to_string(::geteuid()), gid = std::to_string(::getegid());
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    writeAll("/proc/self/setgroups", "deny");
    return writeAll("/proc/self/uid_map", "0 " + uid + " 1") &&
           writeAll("/proc/self/gid_map", "0 " + gid + " 1") &&
           ::mount("none", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

} // namespace nw::test
