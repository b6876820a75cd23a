#pragma once
// A folder of this machine mounted through sshfs, as a user mounts a remote
// one: an sshd of the test's own, listening on 127.0.0.1 only with keys made
// for it, started with the object and stopped with it.
#include <string>
#include <sys/types.h>

namespace nw::test {

class SshfsMount {
public:
    // remote: the folder served; mountPoint: an empty folder that exists.
    SshfsMount(std::string remote, std::string mountPoint);
    ~SshfsMount();
    SshfsMount(const SshfsMount&) = delete;
    SshfsMount& operator=(const SshfsMount&) = delete;

    const std::string& failure() const { return m_failure; }
    bool mounted() const { return m_failure.empty(); }
    // Where sshfs or sshd is missing; empty where both are there.
    static std::string unavailable();
    // Unmounts and mounts again: sshfs numbers its files anew.
    bool remount();

private:
    bool mount();
    std::string m_remote, m_mountPoint, m_keys, m_failure;
    int m_port = 0;
    pid_t m_sshd = -1;
    bool m_mounted = false;
};

} // namespace nw::test
