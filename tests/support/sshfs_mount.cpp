#include "tests/support/sshfs_mount.h"

#include "tests/support/child_process.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nw::test {
namespace {

bool run(const std::string& cmd, std::string* out = nullptr) { return runShell(cmd, out); }

// A port of 127.0.0.1 that nothing listens on now.
int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (s >= 0)
        ::close(s);
    return port;
}

bool answers(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = s >= 0 && ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (s >= 0)
        ::close(s);
    return ok;
}

} // namespace

std::string SshfsMount::unavailable() {
    if (::access("/dev/fuse", R_OK | W_OK) != 0)
        return "/dev/fuse is missing or not usable on this machine";
    for (const char* tool : {"/usr/sbin/sshd", "/usr/bin/sshfs", "/usr/bin/ssh-keygen"})
        if (::access(tool, X_OK) != 0)
            return std::string(tool) + " is not installed (scripts/install-deps.sh installs it)";
    return {};
}

SshfsMount::SshfsMount(std::string remote, std::string mountPoint)
    : m_remote(std::move(remote)), m_mountPoint(std::move(mountPoint)) {
    char tmpl[] = "/tmp/namewright-ssh-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        m_failure = "no folder for the keys";
        return;
    }
    m_keys = tmpl;
    std::string out;
    if (!run("ssh-keygen -q -t ed25519 -N '' -f " + m_keys + "/host", &out) ||
        !run("ssh-keygen -q -t ed25519 -N '' -f " + m_keys + "/client", &out) ||
        !run("cp " + m_keys + "/client.pub " + m_keys + "/authorized_keys", &out)) {
        m_failure = "ssh-keygen: " + out;
        return;
    }
    ::mkdir("/run/sshd", 0755); // sshd's privilege separation wants it
    m_port = freePort();
    {
        std::ofstream conf(m_keys + "/sshd_config");
        conf << "ListenAddress 127.0.0.1\nPort " << m_port << "\nHostKey " << m_keys
             << "/host\nPidFile " << m_keys << "/sshd.pid\nAuthorizedKeysFile " << m_keys
             << "/authorized_keys\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                "PermitRootLogin prohibit-password\nStrictModes no\nUsePAM no\n"
                "Subsystem sftp internal-sftp\n";
    }
    m_sshd = ::fork();
    if (m_sshd == 0) {
        const std::string conf = m_keys + "/sshd_config", log = m_keys + "/sshd.log";
        ::execl("/usr/sbin/sshd", "/usr/sbin/sshd", "-D", "-f", conf.c_str(), "-E", log.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!answers(m_port) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!answers(m_port)) {
        run("cat " + m_keys + "/sshd.log", &out);
        m_failure = "sshd did not answer: " + out;
        return;
    }
    if (!mount())
        return;
}

bool SshfsMount::mount() {
    const passwd* pw = ::getpwuid(::geteuid());
    const std::string user = pw ? pw->pw_name : "root";
    std::string out;
    m_mounted = run("sshfs -o IdentityFile=" + m_keys +
                        "/client,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,"
                        "BatchMode=yes,LogLevel=ERROR,port=" +
                        std::to_string(m_port) + " " + user + "@127.0.0.1:'" + m_remote + "' '" +
                        m_mountPoint + "'",
                    &out) &&
                run("mountpoint -q '" + m_mountPoint + "'");
    if (!m_mounted)
        m_failure = "sshfs could not mount: " + out;
    return m_mounted;
}

bool SshfsMount::remount() {
    if (!m_mounted || !run("fusermount -u '" + m_mountPoint + "'"))
        return false;
    m_mounted = false;
    return mount();
}

SshfsMount::~SshfsMount() {
    if (m_mounted && !run("fusermount -u '" + m_mountPoint + "'"))
        run("umount -l '" + m_mountPoint + "'");
    if (m_sshd > 0) {
        ::kill(m_sshd, SIGTERM);
        ::waitpid(m_sshd, nullptr, 0);
    }
    if (!m_keys.empty())
        run("rm -rf '" + m_keys + "'");
}

} // namespace nw::test
